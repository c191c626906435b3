// Running one test suite on every database engine. Each engine holds the
// same reference data set (the generator's, for kReferenceDocuments and
// kReferenceSeed): SQLite in a file generated once per test program,
// PostgreSQL in the database of the server that the test command starts
// (scripts/pg-test-server), named by ZEBEVI_PG_CONNECTION, reached through
// libpq and, as the ODBC engine, through the psqlODBC driver.
//
// A suite derives its fixture from EngineTest and instantiates it with
// ZEBEVI_INSTANTIATE_ON_ENGINES:
//
//   class TripSummaryOnEngines : public zebevi::testing::EngineTest {};
//   TEST_P(TripSummaryOnEngines, GivesTheHeader) {
//     Value connection = Value::String(reference().connection_string);
//     ... reference().summary.plain_document_id ...
//   }
//   ZEBEVI_INSTANTIATE_ON_ENGINES(TripSummaryOnEngines);
//
// Each case then runs once per engine ("Engines/TripSummaryOnEngines.
// GivesTheHeader/SQLite", ".../PostgreSQL" and ".../ODBC"). When PostgreSQL
// is not reachable the cases of both server engines fail under CI (CI=true) and are skipped
// elsewhere, with a message saying how to start the server.
#ifndef ZEBEVI_TESTS_SUPPORT_ENGINES_H_
#define ZEBEVI_TESTS_SUPPORT_ENGINES_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schema/generator.h"

namespace zebevi::testing {

enum class Engine { kSqlite, kPostgres, kOdbc };

// The ODBC driver the ODBC engine's cases go through, as Debian's
// odbc-postgresql registers it.
inline constexpr std::string_view kOdbcTestDriver = "PostgreSQL Unicode";

// The reference data set of every engine. scripts/pg-test-server loads the
// same numbers.
inline constexpr std::int64_t kReferenceDocuments = 100;
inline constexpr std::uint64_t kReferenceSeed = 7;

struct EngineReference {
  Engine engine;
  // Opens the reference data set; credentials included for PostgreSQL.
  std::string connection_string;
  schema::GeneratorSummary summary;
};

std::vector<Engine> AllEngines();
// The engines on the test server: kPostgres and, in builds with the ODBC
// driver, kOdbc.
std::vector<Engine> ServerEngines();
std::string EngineName(Engine engine);  // "SQLite", "PostgreSQL", "ODBC"
std::string EngineParamName(const ::testing::TestParamInfo<Engine>& info);

// ZEBEVI_PG_CONNECTION, when set and not empty.
std::optional<std::string> PostgresConnection();
// The same server and credentials as an ODBC connection string through
// kOdbcTestDriver, when ZEBEVI_PG_CONNECTION is set.
std::optional<std::string> OdbcConnection();

// Whether `engine` can be used; when not, `why` says what is missing.
bool EngineAvailable(Engine engine, std::string* why);
// Whether the tests run under CI, where nothing may be skipped.
bool InCi();

// The reference data set on `engine`, prepared on first use (generated for
// SQLite; for PostgreSQL, the server's data set is checked to be the
// expected one). REQUIRES: EngineAvailable(engine). A data set that cannot
// be prepared fails the test that asks.
const EngineReference& ReferenceOn(Engine engine);

// In a test body or SetUp: fails (under CI) or skips the test when `engine`
// cannot be used.
#define ZEBEVI_REQUIRE_ENGINE(engine)                                  \
  do {                                                                 \
    std::string zebevi_why_;                                           \
    if (!::zebevi::testing::EngineAvailable((engine), &zebevi_why_)) { \
      if (::zebevi::testing::InCi()) FAIL() << zebevi_why_;            \
      GTEST_SKIP() << zebevi_why_;                                     \
    }                                                                  \
  } while (false)

// A fixture whose cases run once per engine, on its reference data set.
class EngineTest : public ::testing::TestWithParam<Engine> {
 protected:
  void SetUp() override;
  Engine engine() const { return GetParam(); }
  const EngineReference& reference() const { return ReferenceOn(GetParam()); }
};

#define ZEBEVI_INSTANTIATE_ON_ENGINES(suite)                                                     \
  INSTANTIATE_TEST_SUITE_P(Engines, suite, ::testing::ValuesIn(::zebevi::testing::AllEngines()), \
                           ::zebevi::testing::EngineParamName)

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SUPPORT_ENGINES_H_
