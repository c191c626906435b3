#include "cli/verb_support.h"

#include <cerrno>
#include <cstring>
#include <ostream>

#include "cli/default_database.h"
#include "cli/exit_codes.h"
#include "cli/json_value.h"
#include "cli/trace_printer.h"
#include "db/connection_string.h"
#include "zebevi/db.h"
#include "zebevi/error.h"
#include "zebevi/query_input.h"

namespace zebevi::cli {
namespace {

constexpr std::int32_t kTrapStatus = 50;

// --db as the operator may type it again: a connection string with its
// password masked, a path as it is.
std::string RetypedDatabase(const std::string& db) {
  if (!IsConnectionString(db) || db.rfind("sqlite:", 0) == 0) return ShellWord(db);
  try {
    return ShellWord(db::ConnectionString::Parse(db).Masked());
  } catch (const Error&) {
    return "…";
  }
}

Console ColouredAs(const Console& console, const std::string& choice) {
  Console chosen = console;
  if (choice == "always") chosen.colour = true;
  if (choice == "never") chosen.colour = false;
  return chosen;
}

}  // namespace

const CLI::Validator kWholeNumber(
    [](std::string& text) {
      const std::size_t digits = text.rfind('-', 0) == 0 ? 1 : 0;
      const bool whole =
          text.size() > digits && text.find_first_not_of("0123456789", digits) == std::string::npos;
      return whole ? std::string() : "not a whole number: " + text;
    },
    "NUMBER");

void AddVerbOptions(CLI::App& verb, VerbOptions& options) {
  verb.add_option("--db", options.db,
                  "Database: a connection string or a SQLite file (default: the demo database)");
  verb.add_flag("--json", options.json, "Print the answer as JSON");
  verb.add_flag("--trace", options.trace, "Write each database command to standard error");
  verb.add_option("--color", options.color, "Colour: auto (on a terminal), always or never")
      ->check(CLI::IsMember({"auto", "always", "never"}))
      ->type_name("WHEN");
}

Value DateValue(const std::string& text) {
  std::optional<Value> date = report::DateInput(text);
  if (!date) throw UsageError("not a date: " + text + " (write dd/mm/yyyy or YYYY-MM-DD)");
  return *std::move(date);
}

VerbRun::VerbRun(const Console& console, const VerbOptions& options)
    : console_(ColouredAs(console, options.color)), options_(options) {
  SetCommandTraceSink([this](const CommandTrace& trace) {
    if (options_.trace) console_.err << TraceLine(trace) << '\n';
    if (trace.error && !database_error_) database_error_ = trace.error->description();
  });
}

VerbRun::~VerbRun() { SetCommandTraceSink(nullptr); }

std::string VerbRun::Connection() const { return DatabaseConnection(options_.db, console_); }

int VerbRun::Conclude(std::int32_t code, const std::string& message) const {
  if (code == 0) return kExitOk;
  console_.err << "zebevi: "
               << (message.empty() ? "the operation answered " + std::to_string(code) : message)
               << '\n';
  if (database_error_) {
    console_.err << "zebevi: the database answered: " << *database_error_ << '\n'
                 << "zebevi: is this a zebevi database? `zebevi check"
                 << (options_.db.empty() ? "" : " --db " + RetypedDatabase(options_.db)) << "`\n";
    return kExitComponentFailed;
  }
  return code == kTrapStatus ? kExitComponentFailed : kExitFailure;
}

int VerbRun::NotFound(const std::string& message) const {
  console_.err << "zebevi: " << message << '\n';
  return kExitFailure;
}

int RunVerb(const Console& console, const VerbOptions& options,
            const std::function<int(const VerbRun&)>& body) {
  int status = kExitOk;
  {
    const VerbRun run(console, options);
    try {
      status = body(run);
    } catch (const UsageError& e) {
      console.err << "zebevi: " << e.what() << '\n';
      return kExitUsage;
    } catch (const NoDatabase& e) {
      console.err << "zebevi: " << e.what() << '\n';
      return kExitComponentFailed;
    } catch (const Error& e) {
      console.err << "zebevi: the call failed: " << e.description() << " (" << e.number() << ")\n";
      return kExitComponentFailed;
    }
  }
  // A full disk or a closed pipe shows only when the buffered output goes.
  errno = 0;
  console.out.flush();
  if (!console.out) {
    console.err << "zebevi: cannot write the output"
                << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << '\n';
    return kExitWriteFailed;
  }
  return status;
}

}  // namespace zebevi::cli
