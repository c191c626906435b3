#include "db/odbc/odbc_session.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <optional>

#include "db/odbc/odbc_conninfo.h"
#include "db/odbc/odbc_result.h"
#include "db/odbc/odbc_statement.h"
#include "db/odbc/odbc_text.h"
#include "db/procedure_call.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

constexpr std::string_view kCannotConnect = "cannot connect through ODBC: ";

SQLPOINTER Integer(SQLULEN n) { return reinterpret_cast<SQLPOINTER>(n); }

}  // namespace

void OdbcSession::Disconnect::operator()(void* connection) const { SQLDisconnect(connection); }

OdbcSession::OdbcSession(const ConnectionString& connection_string)
    : environment_(OdbcHandle::Type::kEnvironment, nullptr, kDbConnectionFailed),
      connection_(OdbcHandle::Type::kConnection, &environment_, kDbConnectionFailed) {
  OdbcConnectParams params = OdbcConnectParamsOf(connection_string);
  query_timeout_ = params.query_timeout;
  password_ = params.password;
  auto fail = [&] { ThrowOdbcError(connection_, kCannotConnect, password_, kDbConnectionFailed); };
  if (!SQL_SUCCEEDED(SQLSetConnectAttr(connection_.get(), SQL_ATTR_LOGIN_TIMEOUT,
                                       Integer(static_cast<SQLULEN>(params.login_timeout.count())),
                                       0))) {
    fail();
  }
  std::optional<std::u16string> text = ToUtf16(params.text);
  if (!text) {
    throw Error::Database(kDbConnectionFailed,
                          std::string(kCannotConnect) + "the connection string is not UTF-8");
  }
  const SQLRETURN rc = SQLDriverConnectW(
      connection_.get(), nullptr, reinterpret_cast<SQLWCHAR*>(text->data()),
      static_cast<SQLSMALLINT>(text->size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
  // The text held the password: it goes before anything else can fail.
  std::fill(text->begin(), text->end(), u'\0');
  std::fill(params.text.begin(), params.text.end(), '\0');
  if (!SQL_SUCCEEDED(rc)) fail();
  link_.reset(connection_.get());
}

OdbcSession::~OdbcSession() = default;

bool OdbcSession::Dead() const {
  SQLUINTEGER dead = SQL_CD_FALSE;
  const SQLRETURN rc =
      SQLGetConnectAttr(connection_.get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
  return SQL_SUCCEEDED(rc) && dead == SQL_CD_TRUE;
}

Table OdbcSession::Execute(std::string_view command) {
  try {
    std::optional<ProcedureCall> call = ParseProcedureCall(command);
    OdbcStatement statement = call ? OdbcStatement(connection_, *call, password_)
                                   : OdbcStatement(connection_, command, password_);
    if (!statement.Run(query_timeout_)) return {};
    return ReadTable(statement);
  } catch (const Error& error) {
    if (error.number() == kDbConnectionFailed) {
      lost_ = true;
    } else if (Dead()) {
      lost_ = true;
      throw Error::Database(kDbConnectionFailed, error.description());
    }
    throw;
  }
}

bool OdbcSession::Reusable() const {
  if (lost_) return false;
  SQLUINTEGER autocommit = SQL_AUTOCOMMIT_OFF;
  const SQLRETURN rc =
      SQLGetConnectAttr(connection_.get(), SQL_ATTR_AUTOCOMMIT, &autocommit, 0, nullptr);
  return SQL_SUCCEEDED(rc) && autocommit == SQL_AUTOCOMMIT_ON;
}

bool OdbcSession::Healthy() {
  if (Dead()) lost_ = true;
  return Reusable();
}

}  // namespace zebevi::db
