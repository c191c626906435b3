#include "db/postgres/pg_result.h"

#include <libpq-fe.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "db/postgres/pg_types.h"
#include "zebevi/date.h"

namespace zebevi::db {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool FitsInt32(double d) {
  return d == std::trunc(d) && d >= std::numeric_limits<std::int32_t>::min() &&
         d <= std::numeric_limits<std::int32_t>::max();
}

// A float in its text form ("1.5", "1e+300", "NaN", "-Infinity").
Value FloatValue(std::string_view text) {
  double d = 0;
  const char* last = text.data() + text.size();
  auto [end, ec] = std::from_chars(text.data(), last, d);
  if (end != last || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
    return Value::String(std::string(text));
  }
  return Value::Double(d);
}

// An int8 or numeric in its text form.
Value WholeOrDouble(std::string_view text) {
  const char* first = text.data();
  const char* last = first + text.size();
  std::int64_t n = 0;
  auto [end, ec] = std::from_chars(first, last, n);
  if (ec == std::errc() && end == last) {
    if (n >= std::numeric_limits<std::int32_t>::min() &&
        n <= std::numeric_limits<std::int32_t>::max()) {
      return Value::Int32(static_cast<std::int32_t>(n));
    }
    return Value::Double(static_cast<double>(n));
  }
  Value real = FloatValue(text);
  if (real.kind() == Kind::kDouble && FitsInt32(real.dbl())) {
    return Value::Int32(static_cast<std::int32_t>(real.dbl()));
  }
  return real;
}

// "YYYY-MM-DD", or with " HH:MM:SS", optional ".ffffff" and an optional
// zone "+HH", "-HH:MM" or "+HH:MM:SS" after it, as DateStyle ISO shows them.
std::optional<double> IsoDays(std::string_view text, bool has_time) {
  const std::size_t head = has_time ? 19 : 10;
  if (text.size() < head) return std::nullopt;
  std::optional<DateParts> parts = ParseIsoDate(text.substr(0, head));
  if (!parts || !IsValidParts(*parts)) return std::nullopt;
  double days = DaysFromParts(*parts);
  std::string_view rest = text.substr(head);
  if (has_time && rest.starts_with('.')) {
    std::size_t digits = 1;
    double scale = 0.1, fraction = 0;
    while (digits < rest.size() && IsDigit(rest[digits])) {
      fraction += (rest[digits] - '0') * scale;
      scale /= 10;
      ++digits;
    }
    if (digits == 1) return std::nullopt;
    days += fraction / 86400.0;
    rest.remove_prefix(digits);
  }
  if (has_time && (rest.starts_with('+') || rest.starts_with('-'))) {
    rest.remove_prefix(1);
    for (char c : rest) {
      if (!IsDigit(c) && c != ':') return std::nullopt;
    }
    rest = {};
  }
  if (!rest.empty()) return std::nullopt;
  return days;
}

Value DateValue(std::string_view text, bool has_time) {
  if (std::optional<double> days = IsoDays(text, has_time)) return Value::Date(*days);
  return Value::String(std::string(text));
}

Value FieldValue(const PGresult* result, int row, int column, Oid type) {
  if (PQgetisnull(result, row, column)) return Value::Null();
  std::string_view text(PQgetvalue(result, row, column),
                        static_cast<std::size_t>(PQgetlength(result, row, column)));
  switch (type) {
    case pg_type::kInt2:
    case pg_type::kInt4:
    case pg_type::kInt8:
    case pg_type::kNumeric:
      return WholeOrDouble(text);
    case pg_type::kFloat4:
    case pg_type::kFloat8:
      return FloatValue(text);
    case pg_type::kBool:
      return Value::Boolean(text == "t");
    case pg_type::kDate:
      return DateValue(text, false);
    case pg_type::kTimestamp:
    case pg_type::kTimestamptz:
      return DateValue(text, true);
    default:
      return Value::String(std::string(text));
  }
}

}  // namespace

Table ReadTable(const PGresult* result) {
  Table table;
  const int columns = PQnfields(result);
  const int rows = PQntuples(result);
  std::vector<Oid> types;
  for (int c = 0; c < columns; ++c) {
    table.columns.emplace_back(PQfname(result, c));
    types.push_back(PQftype(result, c));
  }
  table.rows.reserve(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r) {
    std::vector<Value> row;
    row.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) row.push_back(FieldValue(result, r, c, types[c]));
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace zebevi::db
