#include "support/engines.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <stdexcept>

#include "db/connection_string.h"
#include "schema/dataset.h"
#include "support/test_support.h"
#include "zebevi/db.h"

namespace zebevi::testing {
namespace {

// Counts the rows the data set would write per table, storing nothing.
struct CountingSink final : schema::RowSink {
  void Write(const schema::TableLayout& table, std::span<const schema::SqlValue>) override {
    ++counts[std::string(table.name)];
  }
  std::map<std::string, std::int64_t> counts;
};

const schema::GeneratorOptions kReferenceOptions{
    .documents = kReferenceDocuments, .seed = kReferenceSeed, .progress = {}};

std::unique_ptr<EngineReference> PrepareSqlite() {
  static TempDir dir;  // kept until the program ends
  const std::filesystem::path path = dir / "reference.db";
  return std::make_unique<EngineReference>(EngineReference{
      Engine::kSqlite, SqliteConnection(path), schema::GenerateSqlite(path, kReferenceOptions)});
}

// Refuses a server whose row counts are not the data set's.
std::unique_ptr<EngineReference> PrepareServer(Engine engine, std::string connection_string) {
  CountingSink expected;
  auto reference = std::make_unique<EngineReference>(EngineReference{
      engine, std::move(connection_string), schema::ProduceDataSet(expected, kReferenceOptions)});
  auto connection = std::make_shared<DbConnection>();
  connection->Open(reference->connection_string);
  for (const auto& [table, count] : expected.counts) {
    DbRecordset rows;
    rows.Open("SELECT count(*) AS n FROM " + table, connection);
    const auto n = static_cast<std::int64_t>(ToDouble(rows.Fields("n").object()->DefaultValue()));
    if (n != count) {
      throw std::runtime_error("the PostgreSQL server does not hold the reference data set (" +
                               table + " has " + std::to_string(n) + " rows, not " +
                               std::to_string(count) + "); start it with scripts/pg-test-server");
    }
  }
  return reference;
}

}  // namespace

std::vector<Engine> ServerEngines() {
#ifdef ZEBEVI_WITH_ODBC
  return {Engine::kPostgres, Engine::kOdbc};
#else
  return {Engine::kPostgres};
#endif
}

std::vector<Engine> AllEngines() {
  std::vector<Engine> engines = ServerEngines();
  engines.insert(engines.begin(), Engine::kSqlite);
  return engines;
}

std::string EngineName(Engine engine) {
  return engine == Engine::kSqlite ? "SQLite" : engine == Engine::kPostgres ? "PostgreSQL" : "ODBC";
}

std::string EngineParamName(const ::testing::TestParamInfo<Engine>& info) {
  return EngineName(info.param);
}

std::optional<std::string> PostgresConnection() {
  const char* text = std::getenv("ZEBEVI_PG_CONNECTION");
  if (text == nullptr || *text == '\0') return std::nullopt;
  return std::string(text);
}

std::optional<std::string> OdbcConnection() {
  std::optional<std::string> postgres = PostgresConnection();
  if (!postgres) return std::nullopt;
  const db::ConnectionString pg = db::ConnectionString::Parse(*postgres);
  std::string odbc = "Driver={" + std::string(kOdbcTestDriver) + "}";
  for (const char* key : {"Server", "Port", "Database", "UID", "PWD"}) {
    if (std::optional<std::string> value = pg.Get(key))
      odbc += ";" + std::string(key) + "=" + *value;
  }
  return odbc;
}

bool InCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string_view(ci) == "true";
}

bool EngineAvailable(Engine engine, std::string* why) {
  if (engine == Engine::kSqlite || PostgresConnection()) return true;
  *why =
      "ZEBEVI_PG_CONNECTION is not set: run the tests through scripts/run-tests, or start a "
      "server with eval \"$(scripts/pg-test-server start BUILD/schema/zebevi_pg_load)\"";
  return false;
}

const EngineReference& ReferenceOn(Engine engine) {
  static std::mutex mutex;
  static std::map<Engine, std::unique_ptr<EngineReference>> references;
  std::lock_guard lock(mutex);
  std::unique_ptr<EngineReference>& reference = references[engine];
  if (!reference && engine == Engine::kSqlite) reference = PrepareSqlite();
  if (!reference) {
    reference =
        PrepareServer(engine, *(engine == Engine::kOdbc ? OdbcConnection() : PostgresConnection()));
  }
  return *reference;
}

void EngineTest::SetUp() {
  ZEBEVI_REQUIRE_ENGINE(GetParam());
  try {
    ReferenceOn(GetParam());
  } catch (const std::exception& e) {
    FAIL() << EngineName(GetParam()) << " reference data set: " << e.what();
  }
}

}  // namespace zebevi::testing
