// Writing the data set into a PostgreSQL database: an owned connection and
// the RowSink that streams rows in with COPY.
#ifndef ZEBEVI_SCHEMA_POSTGRES_SINK_H_
#define ZEBEVI_SCHEMA_POSTGRES_SINK_H_

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "schema/row_sink.h"

struct pg_conn;

namespace zebevi::schema {

// A connection, closed on destruction. Failures throw std::runtime_error
// with the server's message.
class PostgresDatabase {
 public:
  // `conninfo`: libpq's "key=value ..." form or a "postgresql://" URI.
  explicit PostgresDatabase(const std::string& conninfo);

  // Runs a script of statements.
  void Exec(std::string_view sql);
  // Copies `data` (COPY text format, one line per row) into `table`'s
  // `columns`.
  void Copy(const TableLayout& table, std::string_view data);

 private:
  struct Finisher {
    void operator()(pg_conn* connection) const;
  };
  std::unique_ptr<pg_conn, Finisher> connection_;
};

// Gathers rows per table and copies them in when Flush is called or enough
// have gathered; every copy sends all tables in the order of tables::All(),
// so a row always arrives after the rows it points to.
class PostgresSink final : public RowSink {
 public:
  // REQUIRES: `database` outlives the sink.
  explicit PostgresSink(PostgresDatabase& database) : database_(database) {}

  void Write(const TableLayout& table, std::span<const SqlValue> row) override;
  void Flush();

 private:
  PostgresDatabase& database_;
  std::unordered_map<const TableLayout*, std::string> pending_;
  std::size_t pending_bytes_ = 0;
};

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_POSTGRES_SINK_H_
