// The driver seam: one open database session of some engine, and the
// factory that picks the engine from a connection string. Engine headers
// never appear here.
#ifndef ZEBEVI_DB_SESSION_H_
#define ZEBEVI_DB_SESSION_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection_string.h"
#include "zebevi/value.h"

namespace zebevi::db {

// A result read whole: column names as the engine gives them, and every row
// with one Value per column. Immutable once built; result sets share it.
struct Table {
  std::vector<std::string> columns;
  std::vector<std::vector<Value>> rows;
};

// One open session. Used by one thread at a time.
class Session {
 public:
  virtual ~Session();

  // Runs one command: a procedure call ("EXEC name args", see
  // procedure_call.h) or one SQL statement, and reads its first result
  // whole. Failures are database errors with the engine's text:
  // kDbConnectionFailed when the session itself is lost (it is then never
  // reused), kDbCommandFailed otherwise.
  virtual Table Execute(std::string_view command) = 0;

  // Whether the session may be lent again as it stands: not lost, and not
  // inside a transaction a command left open. Cheap, no round trip.
  virtual bool Reusable() const = 0;
  // A cheap check that an idle session still reaches its database, made
  // before a pooled session is lent again; no command is sent or traced.
  virtual bool Healthy() = 0;

  // A read span lets the session answer the commands that follow from one
  // snapshot of the database until the span ends: on SQLite one read
  // transaction, so that a run of queries takes and gives back the file's
  // lock once instead of once per query. A plain SQL statement inside the
  // span still runs on its own, as outside one. The span ends at EndReadSpan
  // or when the session's user lets it go (closed, or back to the pool).
  // Engines that gain nothing by it ignore both.
  virtual void BeginReadSpan() {}
  virtual void EndReadSpan() {}
};

// Opens a session on the engine the connection string's provider names
// ("SQLite"; "PostgreSQL" and "ODBC" are not part of every build); a string
// with a Driver or DSN key and no provider is ODBC's. A non-empty
// `user_id` or `password` replaces the connection string's own. Unless the
// string says Pooling=false, the session comes from the process's
// connection pool (pool.h) and goes back to it when released. A missing or
// unknown provider, or an engine that cannot connect, is a connection
// failure (kDbConnectionFailed).
std::unique_ptr<Session> Connect(const ConnectionString& connection_string,
                                 std::string_view user_id, std::string_view password);

// Opens a new session of the engine that `effective` (the connection string
// with any user id and password already in it) names, outside any pool.
// Failures as for Connect.
std::unique_ptr<Session> OpenEngineSession(const ConnectionString& effective);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_SESSION_H_
