#include "db/odbc/odbc_statement.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <charconv>
#include <type_traits>
#include <variant>

#include "db/ascii.h"
#include "db/odbc/odbc_conninfo.h"
#include "db/odbc/odbc_text.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

static_assert(std::is_same_v<SQLLEN, long>, "OdbcStatement::Argument keeps SQLLEN as long");
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager's wide texts are UTF-16");

SQLWCHAR* Wide(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

// One diagnostic record's text without the "[vendor][component]" heads
// that name who reports it, on one line.
std::string RecordText(std::string_view text) {
  text = TrimBlanks(text);
  while (text.starts_with('[')) {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) break;
    text.remove_prefix(close + 1);
  }
  return CollapsedBlanks(text);
}

}  // namespace

void ThrowOdbcError(const OdbcHandle& handle, std::string_view context, const std::string& secret,
                    int number) {
  std::string text;
  bool lost = false;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR message[1024] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc =
        SQLGetDiagRecW(handle.sql_type(), handle.get(), record, state, &native, message,
                       SQLSMALLINT{sizeof message / sizeof *message}, &length);
    if (!SQL_SUCCEEDED(rc)) break;
    if (state[0] == u'0' && state[1] == u'8') lost = true;
    const std::size_t shown =
        std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)),
                              sizeof message / sizeof *message - 1);
    const std::string line =
        RecordText(ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(message), shown)));
    if (line.empty() || text.find(line) != std::string::npos) continue;
    if (!text.empty()) text += "; ";
    text += line;
  }
  if (text.empty()) text = "the ODBC driver gave no diagnostics";
  throw Error::Database(lost ? kDbConnectionFailed : number,
                        Masked(std::string(context) + text, secret));
}

OdbcStatement::OdbcStatement(const OdbcHandle& connection, std::string context,
                             const std::string& secret)
    : handle_(OdbcHandle::Type::kStatement, &connection, kDbCommandFailed),
      context_(std::move(context)),
      secret_(secret) {}

OdbcStatement::OdbcStatement(const OdbcHandle& connection, std::string_view sql,
                             const std::string& secret)
    : OdbcStatement(connection, std::string(), secret) {
  std::optional<std::u16string> text = ToUtf16(sql);
  if (!text) throw Error::Database(kDbCommandFailed, "the command is not valid UTF-8");
  sql_ = std::move(*text);
}

OdbcStatement::OdbcStatement(const OdbcHandle& connection, const ProcedureCall& call,
                             const std::string& secret)
    : OdbcStatement(connection, "procedure " + call.name + ": ", secret) {
  std::string sql = "{CALL " + call.name;
  for (std::size_t k = 0; k < call.args.size(); ++k) {
    sql += k == 0 ? "(?" : ", ?";
    Argument argument;
    std::visit(
        [&](const auto& v) {
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, NullLiteral>) {
            argument.type = Argument::Type::kNull;
          } else if constexpr (std::is_same_v<T, std::int64_t>) {
            argument.type = Argument::Type::kInteger;
            argument.integer = v;
          } else if constexpr (std::is_same_v<T, double>) {
            argument.type = Argument::Type::kDouble;
            char buffer[32];
            argument.decimal.assign(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
          } else {
            const std::string which = "argument " + std::to_string(k + 1);
            if (v.find('\0') != std::string::npos) {
              throw Error::Database(kDbCommandFailed, context_ + which + " holds a NUL character");
            }
            std::optional<std::u16string> text = ToUtf16(v);
            if (!text) throw Error::Database(kDbCommandFailed, context_ + which + " is not UTF-8");
            argument.type = Argument::Type::kText;
            argument.text = std::move(*text);
          }
        },
        call.args[k]);
    arguments_.push_back(std::move(argument));
  }
  sql += call.args.empty() ? "}" : ")}";
  sql_ = *ToUtf16(sql);  // a plain name and ASCII punctuation
}

void OdbcStatement::Fail() const { ThrowOdbcError(handle_, context_, secret_, kDbCommandFailed); }

void OdbcStatement::Bind() {
  for (std::size_t k = 0; k < arguments_.size(); ++k) {
    Argument& a = arguments_[k];
    const auto number = static_cast<SQLUSMALLINT>(k + 1);
    SQLRETURN rc = SQL_SUCCESS;
    switch (a.type) {
      case Argument::Type::kNull:
        a.indicator = SQL_NULL_DATA;
        rc = SQLBindParameter(handle_.get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 1,
                              0, nullptr, 0, &a.indicator);
        break;
      case Argument::Type::kInteger:
        rc = SQLBindParameter(handle_.get(), number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0,
                              0, &a.integer, 0, &a.indicator);
        break;
      case Argument::Type::kDouble:
        a.indicator = static_cast<SQLLEN>(a.decimal.size());
        rc = SQLBindParameter(handle_.get(), number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_DOUBLE, 0, 0,
                              a.decimal.data(), a.indicator, &a.indicator);
        break;
      case Argument::Type::kText:
        a.indicator = static_cast<SQLLEN>(a.text.size() * sizeof(char16_t));
        rc = SQLBindParameter(handle_.get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                              std::max<SQLULEN>(a.text.size(), 1), 0, Wide(a.text), a.indicator,
                              &a.indicator);
        break;
    }
    if (!SQL_SUCCEEDED(rc)) Fail();
  }
}

bool OdbcStatement::Succeeded(short rc) const {
  if (rc == SQL_NO_DATA) return false;
  if (!SQL_SUCCEEDED(rc)) Fail();
  return true;
}

bool OdbcStatement::Run(std::chrono::seconds timeout) {
  SQLSetStmtAttr(handle_.get(), SQL_ATTR_QUERY_TIMEOUT,
                 reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout.count())), 0);
  Bind();
  std::u16string sql = sql_;
  if (!Succeeded(SQLExecDirectW(handle_.get(), Wide(sql), static_cast<SQLINTEGER>(sql.size())))) {
    return false;
  }
  while (true) {
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(handle_.get(), &columns))) Fail();
    if (columns > 0) return true;
    if (!Succeeded(SQLMoreResults(handle_.get()))) return false;
  }
}

}  // namespace zebevi::db
