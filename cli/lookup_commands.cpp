#include "cli/lookup_commands.h"

#include <ostream>
#include <vector>

#include "cli/csv_export.h"
#include "cli/exit_codes.h"
#include "cli/json_value.h"
#include "cli/text_layout.h"
#include "cli/text_style.h"
#include "zebevi/document_matches.h"
#include "zebevi/order_documents.h"
#include "zebevi/query_input.h"
#include "zebevi/report_json.h"

namespace zebevi::cli {
namespace {

struct ListColumn {
  std::string_view header;
  Align align;
};

const std::vector<ListColumn> kFindColumns{
    {"Id", Align::kRight},     {"Documento", Align::kRight},        {"Emissão", Align::kLeft},
    {"Chegada", Align::kLeft}, {"Ponto de operação", Align::kLeft}, {"Cliente", Align::kLeft},
};

const std::vector<ListColumn> kOrderColumns{
    {"Id", Align::kRight},
    {"Documento", Align::kRight},
    {"Emissão", Align::kLeft},
    {"Entrega", Align::kLeft},
};

// The title, then the rows as a table.
void RenderList(const Console& console, const std::string& title,
                const std::vector<ListColumn>& columns,
                std::vector<std::vector<std::string>> rows) {
  const TextStyle style(console.colour);
  console.out << style.Title(title + " (" + std::to_string(rows.size()) + ")") << "\n\n";
  Table table;
  for (const ListColumn& c : columns) table.AddColumn(std::string(c.header), c.align);
  for (std::vector<std::string>& row : rows) table.AddRow(std::move(row));
  table.Render(console.out, style);
}

}  // namespace

CLI::App* AddFindVerb(CLI::App& app, FindOptions& options) {
  CLI::App* verb = app.add_subcommand(
      "find", "Transport documents matching an order, invoice or document number");
  verb->add_option("--order", options.order, "Order number");
  verb->add_option("--invoice", options.invoice, "Invoice number");
  verb->add_option("--document", options.document, "Transport document number");
  verb->add_option("--customer", options.customer, "Customer identifier of the caller");
  verb->add_option("--customer-group", options.customer_group, "Customer group identifier");
  verb->add_option("--supplier", options.supplier, "Supplier identifier");
  verb->add_option("--collaborator", options.collaborator, "Collaborator identifier");
  verb->add_option("--collaborator-type", options.collaborator_type,
                   "Collaborator type identifier");
  verb->add_option("--company", options.company, "Company identifier");
  verb->add_option("--user", options.user, "Internet user identifier (1: diagnostic detail)");
  verb->add_flag("--csv", options.csv, "Print the documents as CSV");
  AddVerbOptions(*verb, options.verb);
  verb->get_option("--csv")->excludes("--json");
  return verb;
}

CLI::App* AddOrderVerb(CLI::App& app, OrderOptions& options) {
  CLI::App* verb = app.add_subcommand("order", "The transport documents of a published order");
  verb->add_option("number", options.number, "Order number")->required();
  verb->add_option("--from", options.from, "First issue date (dd/mm/yyyy or YYYY-MM-DD)")
      ->type_name("DATE");
  verb->add_option("--to", options.to, "Last issue date (dd/mm/yyyy or YYYY-MM-DD)")
      ->type_name("DATE");
  verb->add_option("--cgc", options.cgc, "Consignee's company tax number");
  verb->add_option("--cpf", options.cpf, "Consignee's personal tax number");
  verb->add_flag("--english", options.english, "Messages in English");
  verb->add_option("--company", options.company, "Company identifier");
  verb->add_option("--user", options.user, "Internet user identifier (1: diagnostic detail)");
  verb->add_flag("--csv", options.csv, "Print the documents as CSV");
  AddVerbOptions(*verb, options.verb);
  verb->get_option("--csv")->excludes("--json");
  return verb;
}

int RunFind(const FindOptions& options, const Console& terminal) {
  return RunVerb(terminal, options.verb, [&](const VerbRun& run) {
    const Console& console = run.console();
    if (options.order.empty() && options.invoice.empty() && options.document.empty()) {
      throw UsageError("find needs a number: --order, --invoice or --document");
    }
    report::DocumentQuery query;
    query.connection = run.Connection();
    query.user = report::IdentifierInput(options.user);
    query.customer = report::IdentifierInput(options.customer);
    query.customer_group = report::IdentifierInput(options.customer_group);
    query.collaborator = report::IdentifierInput(options.collaborator);
    query.supplier = report::IdentifierInput(options.supplier);
    query.collaborator_type = report::IdentifierInput(options.collaborator_type);
    query.company = report::IdentifierInput(options.company);
    query.order_number = report::TextInput(options.order);
    query.invoice_number = report::TextInput(options.invoice);
    query.document_number = report::TextInput(options.document);
    const report::DocumentMatches matches = report::FindDocuments(query);

    if (options.verb.json) {
      console.out << report::ToJson(matches) << '\n';
    } else if (matches.status == 0 && options.csv) {
      console.out << DocumentsCsv(matches);
    } else if (matches.status == 0) {
      std::vector<std::vector<std::string>> rows;
      for (const report::MatchedDocument& d : matches.documents) {
        rows.push_back({d.id.display, d.number.display, d.issued.display, d.arrived.display,
                        d.operating_point, d.customer});
      }
      RenderList(console, "Documentos de transporte", kFindColumns, std::move(rows));
    }
    return run.Conclude(matches.status, matches.message);
  });
}

int RunOrder(const OrderOptions& options, const Console& terminal) {
  return RunVerb(terminal, options.verb, [&](const VerbRun& run) {
    const Console& console = run.console();
    report::OrderQuery query;
    query.issued_from = DateValue(options.from);
    query.issued_to = DateValue(options.to);
    if (!query.issued_from.is_empty() && !query.issued_to.is_empty() &&
        query.issued_from.date() > query.issued_to.date()) {
      throw UsageError("--from " + options.from + " is after --to " + options.to);
    }
    query.connection = run.Connection();
    query.user = report::IdentifierInput(options.user);
    query.company = report::IdentifierInput(options.company);
    query.language = Value::String(options.english ? "I" : "P");
    query.order_number = report::TextInput(options.number);
    query.consignee_cgc = report::TextInput(options.cgc);
    query.consignee_cpf = report::TextInput(options.cpf);
    const report::OrderDocuments order = report::FindOrder(query);

    if (options.verb.json) {
      console.out << report::ToJson(order) << '\n';
    } else if (order.status == 0 && options.csv) {
      console.out << DocumentsCsv(order);
    } else if (order.status == 0) {
      std::vector<std::vector<std::string>> rows;
      for (const report::OrderDocument& d : order.documents) {
        rows.push_back({d.id.display, d.number.display, d.issued.display, d.delivered.display});
      }
      RenderList(console, "Pedido " + order.order_number + " · documentos de transporte",
                 kOrderColumns, std::move(rows));
    }
    return run.Conclude(order.status, order.message);
  });
}

}  // namespace zebevi::cli
