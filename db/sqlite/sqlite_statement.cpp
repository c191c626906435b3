#include "db/sqlite/sqlite_statement.h"

#include <sqlite3.h>

#include <climits>
#include <type_traits>

#include "zebevi/error.h"

namespace zebevi::db {

void ThrowSqliteError(sqlite3* db, std::string_view context) {
  throw Error::Database(kDbCommandFailed, std::string(context) + sqlite3_errmsg(db));
}

void SqliteStatement::Finalizer::operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql, std::string context)
    : db_(db), context_(std::move(context)) {
  if (sql.size() > INT_MAX) Fail("the command is too long");
  const char* end = sql.data() + sql.size();
  const char* tail = nullptr;
  sqlite3_stmt* stmt = nullptr;
  // Persistent: the statement is kept for the session's life, so SQLite
  // takes its memory from the heap rather than its lookaside slots.
  int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                              SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
  stmt_.reset(stmt);
  if (rc != SQLITE_OK) ThrowSqliteError(db_, context_);
  if (!stmt_) Fail("the command holds no statement");
  // What follows the first statement may only be blanks, ';' or comments:
  // preparing it must yield no statement.
  while (tail != nullptr && tail < end) {
    sqlite3_stmt* extra = nullptr;
    const char* next = nullptr;
    rc = sqlite3_prepare_v3(db_, tail, static_cast<int>(end - tail), 0, &extra, &next);
    sqlite3_finalize(extra);
    if (rc != SQLITE_OK || extra != nullptr) Fail("the command holds more than one statement");
    if (next == tail) break;
    tail = next;
  }
}

SqliteStatement::~SqliteStatement() = default;

void SqliteStatement::Fail(std::string_view problem) const {
  throw Error::Database(kDbCommandFailed, context_ + std::string(problem));
}

int SqliteStatement::parameter_count() const { return sqlite3_bind_parameter_count(get()); }

void SqliteStatement::Bind(int index, const Literal& value) {
  int rc = std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, NullLiteral>) {
          return sqlite3_bind_null(get(), index);
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          return sqlite3_bind_int64(get(), index, v);
        } else if constexpr (std::is_same_v<T, double>) {
          return sqlite3_bind_double(get(), index, v);
        } else {
          return sqlite3_bind_text64(get(), index, v.data(), v.size(), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
        }
      },
      value);
  if (rc != SQLITE_OK) ThrowSqliteError(db_, context_);
}

bool SqliteStatement::Step() {
  int rc = sqlite3_step(get());
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  ThrowSqliteError(db_, context_);
}

void SqliteStatement::Reset() {
  // The failure, if any, was raised by Step already.
  sqlite3_reset(get());
  sqlite3_clear_bindings(get());
}

}  // namespace zebevi::db
