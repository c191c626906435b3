// The SQLite engine: a database file opened read-only, with a busy timeout.
// Procedures live in the file's catalog table
//   CREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE,
//                               body TEXT NOT NULL)
// where `body` is one SELECT whose parameters ?1 ... ?N take the call's
// arguments in order (missing arguments leave the rest NULL).
//
// A session prepares each procedure's body once and keeps it (see
// sqlite_catalog.h), and keeps the last few plain SQL statements by their
// text; all are finalized when it closes.
#ifndef ZEBEVI_DB_SQLITE_SQLITE_SESSION_H_
#define ZEBEVI_DB_SQLITE_SQLITE_SESSION_H_

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "db/procedure_call.h"
#include "db/session.h"
#include "db/sqlite/sqlite_catalog.h"
#include "db/sqlite/sqlite_statement.h"

struct sqlite3;

namespace zebevi::db {

class SqliteSession final : public Session {
 public:
  // Opens the file named by "data source". A missing name, a missing or
  // unreadable file, or a file that is no database is a connection failure.
  // "memory map mb" reads up to that many megabytes of the file through a
  // memory map instead of a copy per page (off by default: a file that
  // another program truncates or rewrites in place under the map, or a
  // failing disk, ends the process with SIGBUS instead of failing a call).
  // The connection has no mutex of its own: a session is used by one thread
  // at a time, and the pool hands a session from one thread to the next
  // only under its own lock.
  explicit SqliteSession(const ConnectionString& connection_string);
  ~SqliteSession() override;

  Table Execute(std::string_view command) override;
  // Outside a transaction.
  bool Reusable() const override;
  // The file is still the one opened (not removed or replaced).
  bool Healthy() override;
  void BeginReadSpan() override { in_span_ = true; }
  void EndReadSpan() override;

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };

  Table Call(const ProcedureCall& call);
  // Runs `procedure` once with the call's arguments.
  static Table Run(SqliteProcedure& procedure, const ProcedureCall& call);
  // The kept statement of plain SQL `sql`, prepared if new.
  SqliteStatement& PlainStatement(std::string_view sql);
  // Ends the read transaction that the span began, if one is open.
  void EndSpanTransaction();
  // Runs a kept transaction statement; whether it succeeded.
  static bool RunTransactionStatement(SqliteStatement& statement);

  // Declared first, so that the statements below are finalized before the
  // connection closes.
  std::unique_ptr<sqlite3, Closer> db_;
  std::unique_ptr<SqliteCatalog> catalog_;
  std::unordered_map<std::string, std::unique_ptr<SqliteStatement>> plain_;
  std::deque<std::string> plain_order_;  // oldest first
  // Prepared together on the first span's first call: a span begins and
  // ends on every summary, and parsing the texts each time would cost
  // more than running them; ending a span (in the destructor too) then
  // prepares nothing.
  std::unique_ptr<SqliteStatement> begin_, commit_;
  bool in_span_ = false;       // a read span is open
  bool span_reading_ = false;  // and its read transaction has begun
  std::string path_;
  // The file's identity when opened.
  std::uint64_t device_ = 0;
  std::uint64_t inode_ = 0;
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_SQLITE_SQLITE_SESSION_H_
