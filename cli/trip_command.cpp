#include "cli/trip_command.h"

#include <fstream>
#include <ostream>

#include "cli/default_database.h"
#include "cli/exit_codes.h"
#include "cli/html_report.h"
#include "cli/json_value.h"
#include "cli/text_style.h"
#include "cli/trip_text.h"
#include "zebevi/query_input.h"
#include "zebevi/report_json.h"
#include "zebevi/trip_summary.h"

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
    report::TripQuery query;
    query.connection = DatabaseConnection(options.verb.db, console);
    query.document = report::IdentifierInput(options.document);
    query.user = report::IdentifierInput(options.user);
    query.customer = report::IdentifierInput(options.customer);
    query.customer_group = report::IdentifierInput(options.customer_group);
    const report::TripSummary summary = report::Trip(query);

    if (options.verb.json) console.out << report::ToJson(summary) << '\n';
    const int status = Conclude(console, summary.status, summary.message);
    if (status != kExitOk) return status;
    if (!options.html.empty()) {
      return WritePage(options.html, TripHtml(summary), console) ? kExitOk : kExitFailure;
    }
    if (!options.verb.json) RenderTripText(console.out, summary, TextStyle(console.colour));
    return kExitOk;
  });
}

}  // namespace zebevi::cli
