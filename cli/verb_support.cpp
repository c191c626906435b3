#include "cli/verb_support.h"

#include <optional>
#include <ostream>

#include "cli/default_database.h"
#include "cli/exit_codes.h"
#include "cli/json_value.h"
#include "cli/trace_printer.h"
#include "zebevi/error.h"
#include "zebevi/query_input.h"

namespace zebevi::cli {

void AddVerbOptions(CLI::App& verb, VerbOptions& options) {
  verb.add_option("--db", options.db,
                  "Database: a connection string or a SQLite file (default: the demo database)");
  verb.add_flag("--json", options.json, "Print the answer as JSON");
  verb.add_flag("--trace", options.trace, "Write each database command to standard error");
}

Value DateValue(const std::string& text) {
  std::optional<Value> date = report::DateInput(text);
  if (!date) throw UsageError("not a date: " + text + " (write dd/mm/yyyy or YYYY-MM-DD)");
  return *std::move(date);
}

int RunVerb(const Console& console, const VerbOptions& options, const std::function<int()>& body) {
  std::optional<TraceToStream> tracing;
  if (options.trace) tracing.emplace(console.err);
  try {
    return body();
  } catch (const UsageError& e) {
    console.err << "zebevi: " << e.what() << '\n';
    return kExitUsage;
  } catch (const NoDatabase& e) {
    console.err << "zebevi: " << e.what() << '\n';
    return kExitNoDatabase;
  } catch (const Error& e) {
    console.err << "zebevi: the call failed: " << e.description() << " (" << e.number() << ")\n";
    return kExitFailedCall;
  }
}

int Conclude(const Console& console, std::int32_t code, const std::string& message) {
  if (code == 0) return kExitOk;
  console.err << "zebevi: "
              << (message.empty() ? "the operation answered " + std::to_string(code) : message)
              << '\n';
  return kExitFailure;
}

}  // namespace zebevi::cli
