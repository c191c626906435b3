// `zebevi trip DOCUMENT_ID`: the trip summary of a transport document, for
// a person (text), a script (--json: the version 1 JSON of the typed layer)
// a browser (--html FILE, "-" for standard output) or a spreadsheet
// (--csv-dir DIR: the invoices and the occurrences as two CSV files).
#ifndef ZEBEVI_CLI_TRIP_COMMAND_H_
#define ZEBEVI_CLI_TRIP_COMMAND_H_

#include <CLI/CLI.hpp>
#include <string>

#include "cli/console.h"
#include "cli/verb_support.h"

namespace zebevi::cli {

struct TripOptions {
  VerbOptions verb;
  std::string document;
  std::string user;
  std::string customer;
  std::string customer_group;
  std::string html;     // empty: no page
  std::string csv_dir;  // empty: no CSV files
};

CLI::App* AddTripVerb(CLI::App& app, TripOptions& options);

// Exit status: 0; 1 when the summary answered "not found" or refused the
// document (its message on standard error); 4 when the page or the CSV
// files could not be written; 2, 3 as for every verb.
int RunTrip(const TripOptions& options, const Console& console);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_TRIP_COMMAND_H_
