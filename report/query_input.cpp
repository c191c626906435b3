#include "zebevi/query_input.h"

#include <charconv>
#include <cstdint>
#include <string>

#include "report/figure_reading.h"
#include "zebevi/date.h"

namespace zebevi::report {

Value IdentifierInput(std::string_view text) {
  if (text.empty()) return Value();
  std::int32_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error == std::errc() && end == text.data() + text.size()) return Value::Int32(number);
  return Value::String(std::string(text));
}

Value TextInput(std::string_view text) {
  return text.empty() ? Value() : Value::String(std::string(text));
}

std::optional<Value> DateInput(std::string_view text) {
  if (text.empty()) return Value();
  std::optional<DateParts> parts = ReadDayFirst(text, DayFirst::kDate);
  if (!parts && text.size() == 10) parts = ParseIsoDate(text);
  if (!parts || !IsValidParts(*parts)) return std::nullopt;
  return Value::Date(DaysFromParts(*parts));
}

}  // namespace zebevi::report
