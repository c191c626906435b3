#include "schema/postgres_generator.h"

#include <memory>
#include <stdexcept>
#include <vector>

#include "schema/dataset.h"
#include "schema/postgres_sink.h"
#include "schema/shard_placement.h"
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

// A text as an SQL literal (standard-conforming strings).
std::string Literal(std::string_view text) {
  std::string literal = "'";
  for (char c : text) literal += c == '\'' ? std::string("''") : std::string(1, c);
  return literal + "'";
}

// The PL/Proxy cluster of the shards, partition i on shard i.
std::string ClusterSql(std::span<const std::string> shards) {
  std::string sql =
      "CREATE EXTENSION IF NOT EXISTS plproxy; "
      "CREATE SERVER zeb_shards FOREIGN DATA WRAPPER plproxy OPTIONS (";
  for (std::size_t i = 0; i < shards.size(); ++i) {
    sql += (i == 0 ? "p" : ", p") + std::to_string(i) + " " + Literal(shards[i]);
  }
  return sql +
         "); CREATE USER MAPPING FOR PUBLIC SERVER zeb_shards; "
         "GRANT USAGE ON FOREIGN SERVER zeb_shards TO PUBLIC";
}

constexpr std::string_view kDirectoryColumns[] = {"docto_transp_filho_id", "docto_transp_pai_id"};
constexpr TableLayout kDirectory = {"zeb_troca_viagem", kDirectoryColumns};

std::string DirectoryRows(const TripKeys& keys) {
  std::string rows;
  for (const auto& [child, parent] : keys.parents()) {
    rows += std::to_string(child) + '\t' + std::to_string(parent) + '\n';
  }
  return rows;
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

GeneratorSummary GeneratePostgresSharded(const std::string& proxy,
                                         std::span<const std::string> shards,
                                         const GeneratorOptions& options) {
  try {
    if (!ValidShardCount(static_cast<int>(shards.size()))) {
      throw std::runtime_error("the shard count must be a power of two up to " +
                               std::to_string(kMaxShards));
    }
    TripKeys keys;
    ProduceDataSet(keys, options);

    // Each database rolls back on its own should the load fail before the
    // commits.
    std::vector<std::unique_ptr<PostgresDatabase>> databases;
    databases.push_back(std::make_unique<PostgresDatabase>(proxy));
    for (const std::string& shard : shards) {
      databases.push_back(std::make_unique<PostgresDatabase>(shard));
    }
    for (const auto& database : databases) {
      database->Exec("BEGIN");
      database->Exec(PostgresTablesSql());
    }
    PostgresDatabase& proxy_database = *databases.front();
    proxy_database.Exec(ShardDirectorySql());

    std::vector<std::unique_ptr<PostgresSink>> sinks;
    std::vector<RowSink*> shard_sinks;
    for (const auto& database : databases) {
      sinks.push_back(std::make_unique<PostgresSink>(*database));
      if (database.get() != &proxy_database) shard_sinks.push_back(sinks.back().get());
    }
    ShardingSink sharding(keys, shard_sinks, *sinks.front());
    GeneratorSummary summary = ProduceDataSet(sharding, options);
    for (const auto& sink : sinks) sink->Flush();
    proxy_database.Copy(kDirectory, DirectoryRows(keys));

    for (const auto& database : databases) {
      database->Exec(PostgresIndexesSql());
      if (database.get() != &proxy_database) database->Exec(PostgresProceduresSql());
      database->Exec(AnalyzeSql());
    }
    proxy_database.Exec(ClusterSql(shards));
    proxy_database.Exec(ShardProxySql());
    proxy_database.Exec(
        "ANALYZE zeb_troca_viagem; GRANT SELECT ON ALL TABLES IN SCHEMA public TO PUBLIC");
    for (const auto& database : databases) database->Exec("COMMIT");
    return summary;
  } catch (const std::exception& e) {
    throw std::runtime_error(
        std::string("cannot generate the sharded reference database on PostgreSQL: ") + e.what());
  }
}

}  // namespace zebevi::schema
