#include "db/sqlite/sqlite_result.h"

#include <sqlite3.h>

#include <limits>
#include <string>
#include <vector>

#include "db/ascii.h"
#include "zebevi/date.h"

namespace zebevi::db {
namespace {

// The declared type's name is its first word: "DATE", "datetime",
// "TIMESTAMP WITH TIME ZONE".
bool IsDateType(const char* declared) {
  if (declared == nullptr) return false;
  std::string_view type = TrimBlanks(declared);
  std::size_t end = 0;
  while (end < type.size() && !IsBlank(type[end]) && type[end] != '(') ++end;
  type = type.substr(0, end);
  return AsciiIEquals(type, "date") || AsciiIEquals(type, "datetime") ||
         AsciiIEquals(type, "timestamp");
}

Value ColumnValue(sqlite3_stmt* stmt, int column, bool date_column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
      return Value::Null();
    case SQLITE_INTEGER: {
      sqlite3_int64 n = sqlite3_column_int64(stmt, column);
      if (n >= std::numeric_limits<std::int32_t>::min() &&
          n <= std::numeric_limits<std::int32_t>::max()) {
        return Value::Int32(static_cast<std::int32_t>(n));
      }
      return Value::Double(static_cast<double>(n));
    }
    case SQLITE_FLOAT:
      return Value::Double(sqlite3_column_double(stmt, column));
    case SQLITE_BLOB: {
      const void* bytes = sqlite3_column_blob(stmt, column);
      int size = sqlite3_column_bytes(stmt, column);
      return Value::String(bytes ? std::string(static_cast<const char*>(bytes), size) : "");
    }
    default: {
      const unsigned char* chars = sqlite3_column_text(stmt, column);
      int size = sqlite3_column_bytes(stmt, column);
      std::string text = chars ? std::string(reinterpret_cast<const char*>(chars), size) : "";
      if (date_column) {
        if (std::optional<DateParts> parts = ParseIsoDate(text)) {
          return Value::Date(DaysFromParts(*parts));
        }
      }
      return Value::String(std::move(text));
    }
  }
}

// The heads of the statement's columns as it is prepared now.
const SqliteStatement::ColumnHeads& HeadsOf(SqliteStatement& statement) {
  sqlite3_stmt* stmt = statement.get();
  SqliteStatement::ColumnHeads& heads = statement.heads();
  const int prepared = sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_REPREPARE, 0);
  if (heads.prepared == prepared) return heads;
  heads = {prepared, {}, {}};
  for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
    const char* name = sqlite3_column_name(stmt, i);
    heads.names.emplace_back(name ? name : "");
    heads.dates.push_back(IsDateType(sqlite3_column_decltype(stmt, i)));
  }
  return heads;
}

}  // namespace

Table ReadTable(SqliteStatement& statement) {
  sqlite3_stmt* stmt = statement.get();
  // The heads are taken after the first step: a schema change that came
  // since the last use prepares the statement again there.
  bool more = statement.Step();
  const SqliteStatement::ColumnHeads& heads = HeadsOf(statement);
  const int count = static_cast<int>(heads.names.size());
  const std::vector<bool>& date_columns = heads.dates;
  Table table;
  table.columns = heads.names;
  for (; more; more = statement.Step()) {
    std::vector<Value> row;
    row.reserve(count);
    for (int i = 0; i < count; ++i) row.push_back(ColumnValue(stmt, i, date_columns[i]));
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace zebevi::db
