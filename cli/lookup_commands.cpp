#include "cli/lookup_commands.h"

#include <ostream>
#include <vector>

#include "cli/default_database.h"
#include "cli/exit_codes.h"
#include "cli/operation_call.h"
#include "cli/plain_json.h"
#include "cli/text_layout.h"
#include "cli/text_style.h"

namespace zebevi::cli {
namespace {

struct ListColumn {
  std::string_view list;
  std::string_view header;
  Align align;
};

const std::vector<ListColumn> kFindColumns{
    {"outarrvntDocto_Transporte_Id", "Id", Align::kRight},
    {"outarrvntNum_Docto_Transporte", "Documento", Align::kRight},
    {"outarrvntData_Emissao", "Emissão", Align::kLeft},
    {"outarrvntData_Chegada", "Chegada", Align::kLeft},
    {"outarrvntPonto_Operacao", "Ponto de operação", Align::kLeft},
    {"outarrvntCliente", "Cliente", Align::kLeft},
};

const std::vector<ListColumn> kOrderColumns{
    {"outvntarr_Docto_transporte_id", "Id", Align::kRight},
    {"outvntarr_Num_docto_transporte", "Documento", Align::kRight},
    {"outvntarr_Data_emissao", "Emissão", Align::kLeft},
    {"outvntarr_Data_entrega", "Entrega", Align::kLeft},
};

std::vector<std::string_view> ListNames(const std::vector<ListColumn>& columns) {
  std::vector<std::string_view> names;
  for (const ListColumn& c : columns) names.push_back(c.list);
  return names;
}

// The title, then the parallel lists of the call as a table.
void RenderList(const Console& console, const OperationCall& call, const std::string& title,
                const std::vector<ListColumn>& columns) {
  const TextStyle style(console.colour);
  const std::size_t count = call.ListSize(columns.front().list);
  console.out << style.Title(title + " (" + std::to_string(count) + ")") << "\n\n";
  Table table;
  for (const ListColumn& c : columns) table.AddColumn(std::string(c.header), c.align);
  for (std::size_t i = 0; i < count; ++i) {
    std::vector<std::string> row;
    for (const ListColumn& c : columns) row.push_back(DisplayText(call.Element(c.list, i)));
    table.AddRow(std::move(row));
  }
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
  AddVerbOptions(*verb, options.verb);
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
  AddVerbOptions(*verb, options.verb);
  return verb;
}

int RunFind(const FindOptions& options, const Console& console) {
  return RunVerb(console, options.verb, [&] {
    OperationCall call("gValida_Num_Documento");
    call.Set("invntConecta_db", Value::String(DatabaseConnection(options.verb.db, console)));
    call.Set("invntUsuario_Internet_id", IdentifierValue(options.user));
    call.Set("invntCliente_id", IdentifierValue(options.customer));
    call.Set("invntGrupo_Cliente_id", IdentifierValue(options.customer_group));
    call.Set("invntColaborador_id", IdentifierValue(options.collaborator));
    call.Set("invntFornecedor_id", IdentifierValue(options.supplier));
    call.Set("invntTab_Tipo_Colaborador_id", IdentifierValue(options.collaborator_type));
    call.Set("invntempresa_Id", IdentifierValue(options.company));
    call.Set("invntNum_Pedido", TextValue(options.order));
    call.Set("invntNota_Fiscal", TextValue(options.invoice));
    call.Set("invntNum_Docto_Transporte", TextValue(options.document));
    const std::int32_t code = ResultCode(call.Run());

    if (options.verb.json) {
      PrintJson(console.out, Json{{"result", code},
                                  {"message", MessageJson(call)},
                                  {"query", ParamsJson(call, {"invntNum_Pedido", "invntNota_Fiscal",
                                                              "invntNum_Docto_Transporte"})},
                                  {"outvntQtde_Docto", PlainJson(call.Get("outvntQtde_Docto"))},
                                  {"documents", RowsJson(call, ListNames(kFindColumns))}});
    } else if (code == 0) {
      RenderList(console, call, "Documentos de transporte", kFindColumns);
    }
    return Conclude(console, code, call.Get("outvntMsg_ret"));
  });
}

int RunOrder(const OrderOptions& options, const Console& console) {
  return RunVerb(console, options.verb, [&] {
    OperationCall call("gValida_Num_Pedido_Publ");
    call.Set("inData_Emissao_Ini", DateValue(options.from));
    call.Set("inData_Emissao_Fim", DateValue(options.to));
    call.Set("invntConecta_db", Value::String(DatabaseConnection(options.verb.db, console)));
    call.Set("invntUsuario_Internet_id", IdentifierValue(options.user));
    call.Set("invntempresa_Id", IdentifierValue(options.company));
    call.Set("idioma", Value::String(options.english ? "I" : "P"));
    call.Set("invntNum_Pedido", TextValue(options.number));
    call.Set("inCGC_Destinatario", TextValue(options.cgc));
    call.Set("inCPF_Destinatario", TextValue(options.cpf));
    const std::int32_t code = ResultCode(call.Run());

    if (options.verb.json) {
      PrintJson(console.out,
                Json{{"result", code},
                     {"message", MessageJson(call)},
                     {"query", ParamsJson(call, {"invntNum_Pedido", "inData_Emissao_Ini",
                                                 "inData_Emissao_Fim", "inCGC_Destinatario",
                                                 "inCPF_Destinatario"})},
                     {"outvntRetorno", PlainJson(call.Get("outvntRetorno"))},
                     {"outvntTam_arr", PlainJson(call.Get("outvntTam_arr"))},
                     {"documents", RowsJson(call, ListNames(kOrderColumns))}});
    } else if (code == 0) {
      RenderList(
          console, call,
          "Pedido " + DisplayText(call.Get("invntNum_Pedido")) + " · documentos de transporte",
          kOrderColumns);
    }
    return Conclude(console, code, call.Get("outvntMsg_ret"));
  });
}

}  // namespace zebevi::cli
