#include "db/odbc/odbc_result.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "db/numeric_text.h"
#include "db/odbc/odbc_text.h"
#include "zebevi/date.h"

namespace zebevi::db {
namespace {

struct Column {
  std::string name;
  OdbcColumnKind kind;
};

class RowReader {
 public:
  explicit RowReader(const OdbcStatement& statement)
      : statement_(statement), handle_(statement.handle().get()) {}

  std::vector<Column> Columns() const {
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(handle_, &count))) statement_.Fail();
    std::vector<Column> columns;
    for (SQLUSMALLINT c = 1; c <= count; ++c) {
      std::u16string name(256, u'\0');
      SQLSMALLINT length = 0;
      SQLSMALLINT type = 0;
      SQLULEN size = 0;
      SQLSMALLINT digits = 0;
      SQLSMALLINT nullable = 0;
      auto describe = [&] {
        return SQLDescribeColW(handle_, c, reinterpret_cast<SQLWCHAR*>(name.data()),
                               static_cast<SQLSMALLINT>(name.size()), &length, &type, &size,
                               &digits, &nullable);
      };
      if (!SQL_SUCCEEDED(describe())) statement_.Fail();
      if (static_cast<std::size_t>(length) >= name.size()) {
        name.assign(static_cast<std::size_t>(length) + 1, u'\0');
        if (!SQL_SUCCEEDED(describe())) statement_.Fail();
      }
      name.resize(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)));
      columns.push_back({ToUtf8(name), ColumnKindOf(type)});
    }
    return columns;
  }

  bool Fetch() const {
    const SQLRETURN rc = SQLFetch(handle_);
    if (rc == SQL_NO_DATA) return false;
    if (!SQL_SUCCEEDED(rc)) statement_.Fail();
    return true;
  }

  Value Read(SQLUSMALLINT column, OdbcColumnKind kind) const {
    switch (kind) {
      case OdbcColumnKind::kInteger: {
        SQLBIGINT n = 0;
        if (!Get(column, SQL_C_SBIGINT, &n, sizeof n)) return Value::Null();
        if (n >= std::numeric_limits<std::int32_t>::min() &&
            n <= std::numeric_limits<std::int32_t>::max()) {
          return Value::Int32(static_cast<std::int32_t>(n));
        }
        return Value::Double(static_cast<double>(n));
      }
      case OdbcColumnKind::kDecimal: {
        std::optional<std::string> text = Text(column);
        return text ? WholeOrDouble(*text) : Value::Null();
      }
      case OdbcColumnKind::kFloat: {
        double d = 0;
        return Get(column, SQL_C_DOUBLE, &d, sizeof d) ? Value::Double(d) : Value::Null();
      }
      case OdbcColumnKind::kBit: {
        unsigned char bit = 0;
        return Get(column, SQL_C_BIT, &bit, sizeof bit) ? Value::Boolean(bit != 0) : Value::Null();
      }
      case OdbcColumnKind::kDate: {
        SQL_DATE_STRUCT date{};
        if (!Get(column, SQL_C_TYPE_DATE, &date, sizeof date)) return Value::Null();
        return DateOf({date.year, date.month, date.day}, 0);
      }
      case OdbcColumnKind::kTimestamp: {
        SQL_TIMESTAMP_STRUCT t{};
        if (!Get(column, SQL_C_TYPE_TIMESTAMP, &t, sizeof t)) return Value::Null();
        return DateOf({t.year, t.month, t.day, t.hour, t.minute, t.second}, t.fraction);
      }
      case OdbcColumnKind::kBinary: {
        std::optional<std::string> bytes = Chunks<char>(column, SQL_C_BINARY);
        return bytes ? Value::String(std::move(*bytes)) : Value::Null();
      }
      case OdbcColumnKind::kText:
        break;
    }
    std::optional<std::string> text = Text(column);
    return text ? Value::String(std::move(*text)) : Value::Null();
  }

 private:
  // Reads a fixed-size value; false for NULL.
  bool Get(SQLUSMALLINT column, SQLSMALLINT c_type, void* target, SQLLEN size) const {
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(handle_, column, c_type, target, size, &indicator))) {
      statement_.Fail();
    }
    return indicator != SQL_NULL_DATA;
  }

  std::optional<std::string> Text(SQLUSMALLINT column) const {
    std::optional<std::u16string> text = Chunks<char16_t>(column, SQL_C_WCHAR);
    if (!text) return std::nullopt;
    return ToUtf8(*text);
  }

  // Reads a variable-length value piece by piece; nothing for NULL. Texts
  // come with a terminator after each piece, bytes without.
  template <typename Unit>
  std::optional<std::basic_string<Unit>> Chunks(SQLUSMALLINT column, SQLSMALLINT c_type) const {
    constexpr std::size_t kPiece = 2048;
    constexpr std::size_t kTerminator = std::is_same_v<Unit, char> ? 0 : 1;
    std::basic_string<Unit> value;
    Unit buffer[kPiece];
    while (true) {
      SQLLEN indicator = 0;
      const SQLRETURN rc = SQLGetData(handle_, column, c_type, buffer, sizeof buffer, &indicator);
      if (rc == SQL_NO_DATA) return value;
      if (!SQL_SUCCEEDED(rc)) statement_.Fail();
      if (indicator == SQL_NULL_DATA) return std::nullopt;
      const std::size_t room = kPiece - kTerminator;
      const std::size_t left = static_cast<std::size_t>(indicator) / sizeof(Unit);
      if (indicator != SQL_NO_TOTAL && left <= room) return value.append(buffer, left);
      value.append(buffer, room);
    }
  }

  static Value DateOf(const DateParts& parts, SQLUINTEGER nanoseconds) {
    if (!IsValidParts(parts)) {
      char text[40];
      std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.year, parts.month,
                    parts.day, parts.hour, parts.minute, parts.second);
      return Value::String(text);
    }
    return Value::Date(DaysFromParts(parts) + nanoseconds / 1e9 / 86400.0);
  }

  const OdbcStatement& statement_;
  SQLHSTMT handle_;
};

}  // namespace

Table ReadTable(const OdbcStatement& statement) {
  const RowReader reader(statement);
  const std::vector<Column> columns = reader.Columns();
  Table table;
  for (const Column& column : columns) table.columns.push_back(column.name);
  while (reader.Fetch()) {
    std::vector<Value> row;
    row.reserve(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
      row.push_back(reader.Read(static_cast<SQLUSMALLINT>(c + 1), columns[c].kind));
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace zebevi::db
