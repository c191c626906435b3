// One prepared SQLite statement, kept for reuse and finalized on
// destruction.
#ifndef ZEBEVI_DB_SQLITE_SQLITE_STATEMENT_H_
#define ZEBEVI_DB_SQLITE_SQLITE_STATEMENT_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/procedure_call.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zebevi::db {

// Raises the last failure of `db` as a command failure: `context`, then
// SQLite's own text.
[[noreturn]] void ThrowSqliteError(sqlite3* db, std::string_view context);

class SqliteStatement {
 public:
  // Prepares `sql` for many uses, which must hold exactly one statement
  // (blanks, ';' and comments may follow it). Every failure of this
  // statement is raised with `context` before SQLite's text.
  SqliteStatement(sqlite3* db, std::string_view sql, std::string context = {});
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  sqlite3_stmt* get() const { return stmt_.get(); }
  // The highest parameter index of the statement (?1 ... ?N).
  int parameter_count() const;
  // Binds `value` to parameter `index` (from 1).
  void Bind(int index, const Literal& value);
  // Steps once: true when a row is ready, false when the statement is done.
  bool Step();
  // Back to its start with every parameter NULL, ready for the next use.
  // Ends the read transaction that stepping began.
  void Reset();

  // What the result's reader takes from the columns' heads, kept with the
  // statement: they change only when SQLite prepares it again (a schema
  // change), which `prepared` tells.
  struct ColumnHeads {
    int prepared = -1;  // the statement's count of preparations again
    std::vector<std::string> names;
    std::vector<bool> dates;  // declared a date, datetime or timestamp
  };
  ColumnHeads& heads() { return heads_; }

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* stmt) const;
  };
  [[noreturn]] void Fail(std::string_view problem) const;

  sqlite3* db_;
  std::string context_;
  std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
  ColumnHeads heads_;
};

// One use of a statement: resets it when the use ends, whichever way.
class StatementUse {
 public:
  explicit StatementUse(SqliteStatement& statement) : statement_(statement) {}
  ~StatementUse() { statement_.Reset(); }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;

 private:
  SqliteStatement& statement_;
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_SQLITE_SQLITE_STATEMENT_H_
