#include "cli/verb_support.h"

#include <charconv>
#include <optional>
#include <ostream>

#include "cli/default_database.h"
#include "cli/exit_codes.h"
#include "cli/json_value.h"
#include "cli/operation_call.h"
#include "cli/trace_printer.h"
#include "zebevi/date.h"
#include "zebevi/error.h"

namespace zebevi::cli {
namespace {

std::optional<int> Digits(std::string_view text) {
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
  return number;
}

// dd/mm/yyyy.
std::optional<DateParts> DayFirstDate(std::string_view text) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return {};
  const auto day = Digits(text.substr(0, 2));
  const auto month = Digits(text.substr(3, 2));
  const auto year = Digits(text.substr(6, 4));
  if (!day || !month || !year) return {};
  DateParts parts;
  parts.year = *year;
  parts.month = *month;
  parts.day = *day;
  return parts;
}

}  // namespace

void AddVerbOptions(CLI::App& verb, VerbOptions& options) {
  verb.add_option("--db", options.db,
                  "Database: a connection string or a SQLite file (default: the demo database)");
  verb.add_flag("--json", options.json, "Print the answer as JSON");
  verb.add_flag("--trace", options.trace, "Write each database command to standard error");
}

Value IdentifierValue(const std::string& text) {
  if (text.empty()) return Value();
  std::int32_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error == std::errc() && end == text.data() + text.size()) return Value::Int32(number);
  return Value::String(text);
}

Value TextValue(const std::string& text) { return text.empty() ? Value() : Value::String(text); }

Value DateValue(const std::string& text) {
  if (text.empty()) return Value();
  std::optional<DateParts> parts = DayFirstDate(text);
  if (!parts && text.size() == 10) parts = ParseIsoDate(text);
  if (!parts || !IsValidParts(*parts)) {
    throw UsageError("not a date: " + text + " (write dd/mm/yyyy or YYYY-MM-DD)");
  }
  return Value::Date(DaysFromParts(*parts));
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

int Conclude(const Console& console, std::int32_t code, const Value& message) {
  if (code == 0) return kExitOk;
  const std::string text = DisplayText(message);
  console.err << "zebevi: "
              << (text.empty() ? "the operation answered " + std::to_string(code) : text) << '\n';
  return kExitFailure;
}

}  // namespace zebevi::cli
