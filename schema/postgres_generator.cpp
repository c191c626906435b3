#include "schema/postgres_generator.h"

#include <stdexcept>

#include "schema/dataset.h"
#include "schema/postgres_sink.h"
#include "schema/tables.h"

namespace zebevi::schema {
namespace {

// The line of schema.sql that separates the tables from the indexes.
constexpr std::string_view kIndexesMarker = "-- @@indexes";

std::size_t IndexesStart() {
  const std::size_t at = PostgresSchemaSql().find(kIndexesMarker);
  return at == std::string_view::npos ? PostgresSchemaSql().size() : at;
}

// ANALYZE of the data set's tables only: the catalog's belong to others.
std::string AnalyzeSql() {
  std::string sql = "ANALYZE ";
  for (const TableLayout* table : tables::All()) {
    if (table != tables::All().front()) sql += ", ";
    sql += table->name;
  }
  return sql;
}

}  // namespace

std::string_view PostgresTablesSql() { return PostgresSchemaSql().substr(0, IndexesStart()); }

std::string_view PostgresIndexesSql() { return PostgresSchemaSql().substr(IndexesStart()); }

GeneratorSummary GeneratePostgres(const std::string& conninfo, const GeneratorOptions& options) {
  try {
    PostgresDatabase database(conninfo);
    // A failure anywhere ends the connection with the transaction open,
    // which the server then rolls back.
    database.Exec("BEGIN");
    database.Exec(PostgresTablesSql());
    PostgresSink sink(database);
    GeneratorSummary summary = ProduceDataSet(sink, options);
    sink.Flush();
    database.Exec(PostgresIndexesSql());
    database.Exec(PostgresProceduresSql());
    database.Exec(AnalyzeSql());
    database.Exec("COMMIT");
    return summary;
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("cannot generate the reference database on PostgreSQL: ") +
                             e.what());
  }
}

}  // namespace zebevi::schema
