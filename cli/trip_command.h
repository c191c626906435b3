// `zebevi trip DOCUMENT_ID`: the trip summary of a transport document, for
// a person (text), a script (--json: the version 1 JSON of the typed layer)
// or a browser (--html FILE, "-" for standard output).
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
  std::string html;  // empty: no page
};

CLI::App* AddTripVerb(CLI::App& app, TripOptions& options);

// Exit status: 0; 1 when the summary answered a code other than 0 (its
// message on standard error) or the page could not be written; 2, 3, 4 as
// for every verb.
int RunTrip(const TripOptions& options, const Console& console);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_TRIP_COMMAND_H_
