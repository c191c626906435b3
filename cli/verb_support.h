// What the friendly verbs (trip, find, order, flags, check) share: the
// options --db, --json, --trace and --color, refusing dates it cannot read,
// and turning the outcome of a verb into its exit status (exit_codes.h).
#ifndef ZEBEVI_CLI_VERB_SUPPORT_H_
#define ZEBEVI_CLI_VERB_SUPPORT_H_

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cli/console.h"
#include "zebevi/value.h"

namespace zebevi::cli {

struct VerbOptions {
  std::string db;  // empty: the default database
  bool json = false;
  bool trace = false;
  std::string color = "auto";  // auto, always or never
};

void AddVerbOptions(CLI::App& verb, VerbOptions& options);

// Accepts a whole number ("100004", "-1"): an identifier typed as anything
// else is a usage error, not a question for the component.
extern const CLI::Validator kWholeNumber;

// A date typed as dd/mm/yyyy or YYYY-MM-DD, as a Date; Empty when nothing
// was typed. Throws UsageError for anything else.
Value DateValue(const std::string& text);

// One run of a verb. While it lives it receives the process's command
// trace: it writes each line to standard error with --trace, and keeps the
// database's own text of the first command that failed, which tells the
// operator the real cause behind the component's message for the
// internet user.
class VerbRun {
 public:
  VerbRun(const Console& console, const VerbOptions& options);
  ~VerbRun();
  VerbRun(const VerbRun&) = delete;
  VerbRun& operator=(const VerbRun&) = delete;

  // The console, coloured as --color chose.
  const Console& console() const { return console_; }
  // The connection string for --db (see DatabaseConnection). Throws
  // NoDatabase.
  std::string Connection() const;

  // The exit status for an entry operation's result code, its message on
  // standard error unless it is 0: a failed command or status 50 give 3
  // (with the database's text and what to do), any other code 1.
  int Conclude(std::int32_t code, const std::string& message) const;
  // Status 1 with `message` on standard error: the answer was delivered but
  // says nothing was found.
  int NotFound(const std::string& message) const;

 private:
  Console console_;
  const VerbOptions& options_;
  std::optional<std::string> database_error_;
};

// Runs a verb: the failures end it with their exit status and a "zebevi: "
// line on standard error (bad input 2; no database 3; a failed call 3),
// and so does an output that could not be written (4).
int RunVerb(const Console& console, const VerbOptions& options,
            const std::function<int(const VerbRun&)>& body);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_VERB_SUPPORT_H_
