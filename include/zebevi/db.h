// Database access: connections, client-side static read-only result sets
// and their fields. The engine is chosen by the connection string:
//   "Provider=SQLite;Data Source=PATH" or "sqlite:PATH"          (embedded)
//   "Provider=PostgreSQL;Host=...;Database=..." or "postgresql://..." (server)
//   "Driver={...};Server=...;..." or "DSN=...;..."        (any ODBC driver)
// Every failure is a zebevi::Error with the database's text and a negative
// number. Passwords never appear in an error or a trace line.
#ifndef ZEBEVI_DB_H_
#define ZEBEVI_DB_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zebevi/error.h"
#include "zebevi/value.h"

namespace zebevi {

namespace db {
class Session;
struct Table;
}  // namespace db

// An open database connection. Closed by Close() or when the last reference
// goes away.
class DbConnection : public AutomationObject {
 public:
  DbConnection();
  ~DbConnection() override;
  DbConnection(const DbConnection&) = delete;
  DbConnection& operator=(const DbConnection&) = delete;

  // An empty user id or password leaves the connection string's own.
  void Open(std::string_view connection_string, std::string_view user_id = {},
            std::string_view password = {});
  void Close();  // Closing a closed connection is a failure.
  bool is_open() const;

  // Until it closes, the connection may answer its procedure calls from
  // one snapshot of the database, taking the database's lock once for
  // them all (see db::Session::BeginReadSpan). For a run of queries that
  // belong together, made by the one that opened the connection.
  // REQUIRES: open (a failure otherwise).
  void ReadTogether();

  // REQUIRES: open (a failure otherwise).
  db::Session& session();

 private:
  std::unique_ptr<db::Session> session_;
};

using DbConnectionRef = std::shared_ptr<DbConnection>;

enum class CursorLocation { kServer = 2, kClient = 3 };

// A result set read whole when opened. Fields are found by name without
// regard to letter case; a field object follows the current row.
class DbRecordset {
 public:
  DbRecordset();
  ~DbRecordset();
  DbRecordset(const DbRecordset&) = delete;
  DbRecordset& operator=(const DbRecordset&) = delete;

  // Only the client-side cursor is offered; the setting is kept for the
  // steps that make it.
  void set_cursor_location(CursorLocation location);

  // Runs `command` (a procedure call "EXEC name args" or plain SQL) on an
  // open connection, or on a private connection opened from a connection
  // string and owned by this result set until it closes.
  void Open(std::string_view command, const DbConnectionRef& connection);
  void Open(std::string_view command, std::string_view connection_string);
  void Close();  // Also closes a private connection.
  bool is_open() const;

  bool eof() const;
  void MoveFirst();
  void MoveLast();
  void MoveNext();  // At the end: a failure.
  std::int32_t RecordCount() const;

  // A Value holding the field object named `name` (any letter case); a name
  // the result does not have is a failure.
  Value Fields(std::string_view name) const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

// What the component sent to a database: one per command, with its row
// count or its failure, and how long it took. A driver's own internal
// queries are not traced.
struct CommandTrace {
  std::string sql;
  std::optional<std::int64_t> rows;
  std::optional<Error> error;
  std::chrono::microseconds duration{0};
};
using CommandTraceSink = std::function<void(const CommandTrace&)>;

// The process's trace sink (none by default). Safe to set from any thread.
void SetCommandTraceSink(CommandTraceSink sink);

}  // namespace zebevi

#endif  // ZEBEVI_DB_H_
