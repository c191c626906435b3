#include "schema/sqlite_sink.h"

#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <type_traits>
#include <variant>

namespace zebevi::schema {
namespace {

[[noreturn]] void Fail(sqlite3* db, std::string_view context) {
  throw std::runtime_error(std::string(context) + ": " + sqlite3_errmsg(db));
}

}  // namespace

void SqliteDatabase::Closer::operator()(sqlite3* db) const { sqlite3_close(db); }

SqliteDatabase::SqliteDatabase(const std::filesystem::path& path) {
  sqlite3* db = nullptr;
  // One thread uses the connection: SQLite's own locking would only cost.
  constexpr int kFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  const int rc = sqlite3_open_v2(path.c_str(), &db, kFlags, nullptr);
  db_.reset(db);  // sqlite3_open_v2 hands out a handle even when it fails
  if (rc != SQLITE_OK) Fail(db, "cannot open " + path.string());
}

void SqliteDatabase::Exec(std::string_view sql) {
  char* message = nullptr;
  const int rc = sqlite3_exec(db_.get(), std::string(sql).c_str(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    const std::string text = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    throw std::runtime_error(text);
  }
}

void SqliteSink::Finalizer::operator()(sqlite3_stmt* statement) const {
  sqlite3_finalize(statement);
}

sqlite3_stmt* SqliteSink::InsertInto(const TableLayout& table) {
  Statement& insert = inserts_[&table];
  if (!insert) {
    std::string sql = "INSERT INTO " + std::string(table.name) + " (";
    std::string marks;
    for (const std::string_view column : table.columns) {
      sql += marks.empty() ? "" : ", ";
      sql += column;
      marks += marks.empty() ? "?" : ", ?";
    }
    sql += ") VALUES (" + marks + ")";
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(database_.get(), sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement,
                           nullptr) != SQLITE_OK) {
      Fail(database_.get(), "cannot prepare the rows of " + std::string(table.name));
    }
    insert.reset(statement);
  }
  return insert.get();
}

void SqliteSink::Write(const TableLayout& table, std::span<const SqlValue> row) {
  if (&table != last_table_) {
    last_insert_ = InsertInto(table);
    last_table_ = &table;
  }
  sqlite3_stmt* insert = last_insert_;
  for (int i = 0; i < static_cast<int>(row.size()); ++i) {
    std::visit(
        [insert, i](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::nullptr_t>) {
            sqlite3_bind_null(insert, i + 1);
          } else if constexpr (std::is_same_v<T, std::int64_t>) {
            sqlite3_bind_int64(insert, i + 1, value);
          } else if constexpr (std::is_same_v<T, double>) {
            sqlite3_bind_double(insert, i + 1, value);
          } else {
            sqlite3_bind_text(insert, i + 1, value.data(), static_cast<int>(value.size()),
                              SQLITE_STATIC);
          }
        },
        row[static_cast<std::size_t>(i)]);
  }
  if (sqlite3_step(insert) != SQLITE_DONE) {
    const std::string message = sqlite3_errmsg(database_.get());
    sqlite3_reset(insert);
    throw std::runtime_error("cannot insert into " + std::string(table.name) + ": " + message);
  }
  sqlite3_reset(insert);
}

}  // namespace zebevi::schema
