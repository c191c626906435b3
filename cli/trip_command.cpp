#include "cli/trip_command.h"

#include <fstream>
#include <ostream>

#include "cli/default_database.h"
#include "cli/exit_codes.h"
#include "cli/html_report.h"
#include "cli/plain_json.h"
#include "cli/text_style.h"
#include "cli/trip_report.h"
#include "cli/trip_text.h"

namespace zebevi::cli {
namespace {

bool WritePage(const std::string& file, const std::string& page, const Console& console) {
  if (file == "-") {
    console.out << page;
    return true;
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << page;
  out.close();
  if (!out) {
    console.err << "zebevi: cannot write " << file << '\n';
    return false;
  }
  return true;
}

}  // namespace

Json TripJson(const OperationCall& call) {
  Json minutes = Json::object();
  for (const OutputLabel& o : kTimeOutputs) {
    const auto value = MinutesOf(DisplayText(call.Get(o.output)));
    minutes[std::string(o.output)] = value ? Json(*value) : Json(nullptr);
  }
  return Json{
      {"document", PlainJson(call.Get("invntDOCTO_TRANSPORTE_ID"))},
      {"result", PlainJson(call.result())},
      {"message", MessageJson(call)},
      {"header", ParamsJson(call, OutputNames(kHeaderOutputs))},
      {"invoices",
       {{"outvntQtde_Nota", PlainJson(call.Get("outvntQtde_Nota"))},
        {"rows", RowsJson(call, OutputNames(kInvoiceLists))}}},
      {"occurrences",
       {{"outvntQtde_Ocor", PlainJson(call.Get("outvntQtde_Ocor"))},
        {"rows", RowsJson(call, OutputNames(kOccurrenceLists))}}},
      {"distances", ParamsJson(call, OutputNames(kDistanceOutputs))},
      {"times", ParamsJson(call, OutputNames(kTimeOutputs))},
      {"minutes", std::move(minutes)},
      {"route", ParamsJson(call, OutputNames(kRouteOutputs))},
  };
}

CLI::App* AddTripVerb(CLI::App& app, TripOptions& options) {
  CLI::App* verb = app.add_subcommand("trip", "The trip summary of a transport document");
  verb->add_option("document", options.document, "Transport document identifier")->required();
  verb->add_option("--user", options.user, "Internet user identifier (1: diagnostic detail)");
  verb->add_option("--customer", options.customer, "Customer identifier");
  verb->add_option("--customer-group", options.customer_group, "Customer group identifier");
  verb->add_option("--html", options.html,
                   "Write the summary as an HTML page to FILE (- for stdout)")
      ->type_name("FILE");
  AddVerbOptions(*verb, options.verb);
  return verb;
}

int RunTrip(const TripOptions& options, const Console& console) {
  return RunVerb(console, options.verb, [&] {
    if (options.verb.json && options.html == "-") {
      throw UsageError("--json and --html - would both write to standard output");
    }
    TripQuery query;
    query.connection = DatabaseConnection(options.verb.db, console);
    query.document = IdentifierValue(options.document);
    query.user = IdentifierValue(options.user);
    query.customer = IdentifierValue(options.customer);
    query.customer_group = IdentifierValue(options.customer_group);
    const OperationCall call = CallTripSummary(query);
    const TripReport report = ReadTripReport(call);

    if (options.verb.json) PrintJson(console.out, TripJson(call));
    const int status = Conclude(console, report.result, call.Get("outvntMsg_ret"));
    if (status != kExitOk) return status;
    if (!options.html.empty()) {
      return WritePage(options.html, TripHtml(report), console) ? kExitOk : kExitFailure;
    }
    if (!options.verb.json) RenderTripText(console.out, report, TextStyle(console.colour));
    return kExitOk;
  });
}

}  // namespace zebevi::cli
