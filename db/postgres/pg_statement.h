// One command for the server: its SQL text and its parameters, run with
// PQexecParams, or prepared (PQprepare) and run as a prepared statement
// (PQexecPrepared); both take exactly one statement and never splice a
// parameter into the text.
//
// A procedure call "EXEC name args" becomes
//   SELECT * FROM "name"($1, ..., $N)
// with the name in lower case (PostgreSQL folds the unquoted names that
// CREATE FUNCTION is given, so functions are created with unquoted names and
// found whatever case a command writes them in). Each argument is sent as
// text with a type the server resolves the function by: an integer as int8,
// any other number as numeric, a text as text, NULL untyped. Functions
// therefore declare numeric or bigint parameters for numbers (both take
// int8) and text parameters for texts.
#ifndef ZEBEVI_DB_POSTGRES_PG_STATEMENT_H_
#define ZEBEVI_DB_POSTGRES_PG_STATEMENT_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/procedure_call.h"

struct pg_conn;
struct pg_result;

namespace zebevi::db {

struct PgResultClear {
  void operator()(pg_result* result) const;
};
using PgResult = std::unique_ptr<pg_result, PgResultClear>;

class PgStatement {
 public:
  // Plain SQL, without parameters.
  explicit PgStatement(std::string_view sql);
  // A procedure call. A text argument holding a NUL character, which the
  // server cannot store, is a command failure.
  explicit PgStatement(const ProcedureCall& call);

  const std::string& sql() const { return sql_; }
  const std::string& context() const { return context_; }
  // What tells prepared statements apart: the text and the argument types.
  std::string Key() const;

  // Runs the statement on `connection` and returns its result, rows or
  // none. A failure is raised as a database error (see ThrowPgError).
  PgResult Run(pg_conn* connection) const;
  // Prepares the statement on `connection` as `name`. Failures as for Run.
  void Prepare(pg_conn* connection, const std::string& name) const;
  // Runs the statement prepared as `name` with this one's arguments, and
  // returns the result as it came, failures included.
  PgResult RunPrepared(pg_conn* connection, const std::string& name) const;
  // `result` when it holds rows or none; else its failure, raised as Run
  // raises it.
  PgResult Checked(pg_conn* connection, PgResult result) const;

 private:
  std::vector<const char*> Values() const;

  std::string sql_;
  std::string context_;  // before the server's text in a failure
  std::vector<unsigned> types_;
  std::vector<std::optional<std::string>> values_;
};

// Raises the failure of `result` (null when the library could not even
// produce one) on `connection`: kDbConnectionFailed when the connection is
// lost or the server ended the session (connection-exception states, the
// session terminated or the server shutting down), kDbCommandFailed for
// anything else (a missing function, a cancelled statement, bad SQL).
// The text is `context` then the server's primary message.
[[noreturn]] void ThrowPgError(pg_conn* connection, const pg_result* result,
                               std::string_view context);

// libpq's last message on `connection`, on one line.
std::string PgConnectionMessage(const pg_conn* connection);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_POSTGRES_PG_STATEMENT_H_
