#include "db/postgres/pg_result.h"

#include <libpq-fe.h>

#include <optional>
#include <string>

#include "db/numeric_text.h"
#include "db/postgres/pg_types.h"
#include "zebevi/date.h"

namespace zebevi::db {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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
