// What the friendly verbs (trip, find, order, flags) share: the options
// --db, --json and --trace, refusing dates it cannot read, and turning the
// outcome of a verb into its exit status.
#ifndef ZEBEVI_CLI_VERB_SUPPORT_H_
#define ZEBEVI_CLI_VERB_SUPPORT_H_

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <string>

#include "cli/console.h"
#include "zebevi/value.h"

namespace zebevi::cli {

struct VerbOptions {
  std::string db;  // empty: the default database
  bool json = false;
  bool trace = false;
};

void AddVerbOptions(CLI::App& verb, VerbOptions& options);

// A date typed as dd/mm/yyyy or YYYY-MM-DD, as a Date; Empty when nothing
// was typed. Throws UsageError for anything else.
Value DateValue(const std::string& text);

// Runs a verb: with --trace the command trace goes to standard error, and
// the failures end the verb with their exit status and a "zebevi: " line
// on standard error: bad input 2, a failed call 3, no database 4.
int RunVerb(const Console& console, const VerbOptions& options, const std::function<int()>& body);

// The exit status for an entry operation's result code: 0 for 0; otherwise
// the operation's message (or the code) goes to standard error and the
// status is 1.
int Conclude(const Console& console, std::int32_t code, const std::string& message);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_VERB_SUPPORT_H_
