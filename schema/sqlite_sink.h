// Writing the data set into a SQLite database: an owned connection and the
// RowSink that inserts rows through one prepared statement per table.
#ifndef ZEBEVI_SCHEMA_SQLITE_SINK_H_
#define ZEBEVI_SCHEMA_SQLITE_SINK_H_

#include <filesystem>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_map>

#include "schema/row_sink.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zebevi::schema {

// A read-write connection, closed on destruction. Failures throw
// std::runtime_error with SQLite's message.
class SqliteDatabase {
 public:
  // Opens (creating when missing) the database file at `path`.
  explicit SqliteDatabase(const std::filesystem::path& path);

  // Runs a script of statements.
  void Exec(std::string_view sql);

  sqlite3* get() const { return db_.get(); }

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };
  std::unique_ptr<sqlite3, Closer> db_;
};

class SqliteSink final : public RowSink {
 public:
  // REQUIRES: `database` outlives the sink.
  explicit SqliteSink(SqliteDatabase& database) : database_(database) {}

  void Write(const TableLayout& table, std::span<const SqlValue> row) override;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const;
  };
  using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

  sqlite3_stmt* InsertInto(const TableLayout& table);

  SqliteDatabase& database_;
  std::unordered_map<const TableLayout*, Statement> inserts_;
  // Rows come in runs of one table: the last statement saves a lookup.
  const TableLayout* last_table_ = nullptr;
  sqlite3_stmt* last_insert_ = nullptr;
};

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_SQLITE_SINK_H_
