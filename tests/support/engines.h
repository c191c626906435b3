// One suite on every engine holding the reference data set: derive from EngineTest and use
// ZEBEVI_INSTANTIATE_ON_ENGINES. Without a server the server cases fail under CI, else skip.
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

// As Debian's odbc-postgresql registers it.
inline constexpr std::string_view kOdbcTestDriver = "PostgreSQL Unicode";

// scripts/pg-test-server loads the same numbers.
inline constexpr std::int64_t kReferenceDocuments = 100;
inline constexpr std::uint64_t kReferenceSeed = 7;

struct EngineReference {
  Engine engine;
  std::string connection_string;
  schema::GeneratorSummary summary;
};

std::vector<Engine> AllEngines();
// kPostgres and, in builds with the ODBC driver, kOdbc.
std::vector<Engine> ServerEngines();
std::string EngineName(Engine engine);  // "SQLite", "PostgreSQL", "ODBC"
std::string EngineParamName(const ::testing::TestParamInfo<Engine>& info);

// ZEBEVI_PG_CONNECTION when set, and the same server through kOdbcTestDriver.
std::optional<std::string> PostgresConnection();
std::optional<std::string> OdbcConnection();

// Whether `engine` can be used; when not, `why` says what is missing.
bool EngineAvailable(Engine engine, std::string* why);
bool InCi();  // CI=true: nothing may be skipped

// Prepared on first use (the server's data set is checked, not loaded).
// REQUIRES: EngineAvailable(engine).
const EngineReference& ReferenceOn(Engine engine);

// Fails (under CI) or skips the test when `engine` cannot be used.
#define ZEBEVI_REQUIRE_ENGINE(engine)                                  \
  do {                                                                 \
    std::string zebevi_why_;                                           \
    if (!::zebevi::testing::EngineAvailable((engine), &zebevi_why_)) { \
      if (::zebevi::testing::InCi()) FAIL() << zebevi_why_;            \
      GTEST_SKIP() << zebevi_why_;                                     \
    }                                                                  \
  } while (false)

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
