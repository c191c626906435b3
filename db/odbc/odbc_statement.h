// One command for the driver, on a statement handle of its own: its SQL
// text and its parameters, run with SQLExecDirect, which never splices a
// parameter into the text.
//
// A procedure call "EXEC name args" becomes the call escape
//   {CALL name(?, ..., ?)}
// (or {CALL name} without arguments), which each driver turns into its
// server's own form. Each argument is bound as an input parameter: an
// integer as SQL_BIGINT, any other number as SQL_DOUBLE given in its
// shortest decimal text (a driver that prints a double itself may add
// digits: 0.1 would reach a numeric parameter as 0.10000000000000001), a
// text as SQL_WVARCHAR in UTF-16, NULL as a null indicator. Any other
// command is sent as it is.
//
// Running leaves the statement at its first result that has columns: row
// counts and empty results before it are read past with SQLMoreResults.
#ifndef ZEBEVI_DB_ODBC_ODBC_STATEMENT_H_
#define ZEBEVI_DB_ODBC_ODBC_STATEMENT_H_

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/odbc/odbc_types.h"
#include "db/procedure_call.h"

namespace zebevi::db {

class OdbcStatement {
 public:
  // Plain SQL, without parameters. `secret` is what no failure text may
  // show (the password).
  OdbcStatement(const OdbcHandle& connection, std::string_view sql, const std::string& secret);
  // A procedure call. A text argument that is not UTF-8, or that holds a NUL
  // character, is a command failure.
  OdbcStatement(const OdbcHandle& connection, const ProcedureCall& call, const std::string& secret);
  OdbcStatement(const OdbcStatement&) = delete;
  OdbcStatement& operator=(const OdbcStatement&) = delete;

  const std::u16string& sql() const { return sql_; }

  // Runs the statement, giving up after `timeout` (0: never), and moves to
  // its first result with columns. Returns false when it has none.
  bool Run(std::chrono::seconds timeout);
  const OdbcHandle& handle() const { return handle_; }
  // Raises the statement's last failure (see ThrowOdbcError).
  [[noreturn]] void Fail() const;

 private:
  // One bound argument; the driver reads it when the statement runs.
  struct Argument {
    enum class Type { kNull, kInteger, kDouble, kText } type = Type::kNull;
    std::int64_t integer = 0;
    std::string decimal;  // a double's shortest text, ASCII
    std::u16string text;
    long indicator = 0;  // SQLLEN
  };
  OdbcStatement(const OdbcHandle& connection, std::string context, const std::string& secret);
  void Bind();
  // SQLExecDirect or SQLMoreResults gave `rc`: whether there is a result.
  bool Succeeded(short rc) const;

  OdbcHandle handle_;
  std::string context_;  // before the driver's text in a failure
  std::string secret_;
  std::u16string sql_;
  std::vector<Argument> arguments_;
};

// Raises the diagnostics of `handle` as a database error: `context`, then
// the texts of its records (their "[component]" prefixes dropped, `secret`
// masked). The number is kDbConnectionFailed when a record's SQLSTATE is of
// class 08 (connection exception), else `number`.
[[noreturn]] void ThrowOdbcError(const OdbcHandle& handle, std::string_view context,
                                 const std::string& secret, int number);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_ODBC_ODBC_STATEMENT_H_
