#include "cli/trip_command.h"

#include <ostream>

#include "cli/csv_export.h"
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
  return WriteWholeFile(file, page, console);
}

}  // namespace

CLI::App* AddTripVerb(CLI::App& app, TripOptions& options) {
  CLI::App* verb = app.add_subcommand("trip", "The trip summary of a transport document");
  verb->add_option("document", options.document, "Transport document identifier")
      ->required()
      ->check(kWholeNumber);
  verb->add_option("--user", options.user, "Internet user identifier (1: diagnostic detail)");
  verb->add_option("--customer", options.customer, "Customer identifier");
  verb->add_option("--customer-group", options.customer_group, "Customer group identifier");
  verb->add_option("--html", options.html,
                   "Write the summary as an HTML page to FILE (- for stdout)")
      ->type_name("FILE");
  verb->add_option("--csv-dir", options.csv_dir,
                   "Write invoices.csv and occurrences.csv to the folder DIR")
      ->type_name("DIR");
  AddVerbOptions(*verb, options.verb);
  return verb;
}

int RunTrip(const TripOptions& options, const Console& terminal) {
  return RunVerb(terminal, options.verb, [&](const VerbRun& run) {
    const Console& console = run.console();
    if (options.verb.json && options.html == "-") {
      throw UsageError("--json and --html - would both write to standard output");
    }
    report::TripQuery query;
    query.connection = run.Connection();
    query.document = report::IdentifierInput(options.document);
    query.user = report::IdentifierInput(options.user);
    query.customer = report::IdentifierInput(options.customer);
    query.customer_group = report::IdentifierInput(options.customer_group);
    const report::TripSummary summary = report::Trip(query);

    if (options.verb.json) console.out << report::ToJson(summary) << '\n';
    const int status = run.Conclude(summary.status, summary.message);
    if (status == kExitFailure && summary.document.id.value.value_or(0) != 0) {
      // A document's number is the likelier thing to have at hand.
      console.err << "zebevi: `zebevi find --document " << options.document
                  << "` finds a document by its number\n";
    }
    if (status != kExitOk) return status;
    if (!options.csv_dir.empty() && !WriteTripCsv(summary, options.csv_dir, console)) {
      return kExitWriteFailed;
    }
    if (!options.html.empty()) {
      return WritePage(options.html, TripHtml(summary), console) ? kExitOk : kExitWriteFailed;
    }
    if (!options.verb.json && options.csv_dir.empty()) {
      RenderTripText(console.out, summary, TextStyle(console.colour), console.columns);
    }
    return kExitOk;
  });
}

}  // namespace zebevi::cli
