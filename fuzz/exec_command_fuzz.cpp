// The EXEC command parser on any text, and the promise the queries rely on:
// whatever literal the value rules render for any value parses back, as one
// argument, to exactly the value that literal writes.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "db/procedure_call.h"
#include "zebevi/error.h"
#include "zebevi/value.h"
#include "zebevi/value_rules.h"

namespace {

using zebevi::db::Literal;

// What a rendered literal stands for, read without the parser.
Literal Meaning(const std::string& literal) {
  if (literal == "NULL") return zebevi::db::NullLiteral{};
  if (literal.front() == '\'') {
    std::string text;
    for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
      text += literal[i];
      if (literal[i] == '\'') ++i;  // a doubled quote stands for one
    }
    return text;
  }
  std::int64_t whole = 0;
  const char* end = literal.data() + literal.size();
  const auto read = std::from_chars(literal.data(), end, whole);
  if (read.ec == std::errc() && read.ptr == end) return whole;
  return std::strtod(literal.c_str(), nullptr);
}

// Renders `value` with `render`; a failure the rules may give (a text that
// is no date, a date outside the calendar) renders nothing.
template <class Render>
void Add(std::vector<std::string>& literals, Render render, const zebevi::Value& value) {
  try {
    literals.push_back(render(value));
  } catch (const zebevi::Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    zebevi::db::ParseProcedureCall(text);
  } catch (const zebevi::Error&) {
    // A malformed call is refused; only a crash is a finding.
  }

  const zebevi::ValueRules& rules = zebevi::Rules();
  double number = 0;
  std::memcpy(&number, text.data(), std::min(sizeof number, text.size()));
  std::vector<zebevi::Value> values = {zebevi::Value::String(text), zebevi::Value::Double(number),
                                       zebevi::Value::Date(number)};
  std::vector<std::string> literals;
  for (const zebevi::Value& value : values) {
    Add(literals, [&](const zebevi::Value& v) { return rules.SqlNumber(v); }, value);
    Add(literals, [&](const zebevi::Value& v) { return rules.SqlText(v); }, value);
    Add(literals, [&](const zebevi::Value& v) { return rules.SqlDate(v); }, value);
  }
  std::string command = "EXEC p ";
  for (std::size_t i = 0; i < literals.size(); ++i) command += (i ? ", " : "") + literals[i];
  const std::optional<zebevi::db::ProcedureCall> call = zebevi::db::ParseProcedureCall(command);
  if (!call || call->name != "p" || call->args.size() != literals.size()) std::abort();
  for (std::size_t i = 0; i < literals.size(); ++i) {
    if (!(call->args[i] == Meaning(literals[i]))) std::abort();
  }
  return 0;
}
