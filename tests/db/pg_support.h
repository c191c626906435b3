// Helpers of the tests that need the PostgreSQL test server, reached
// through libpq or, as the ODBC engine, through psqlODBC.
#ifndef ZEBEVI_TESTS_DB_PG_SUPPORT_H_
#define ZEBEVI_TESTS_DB_PG_SUPPORT_H_

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "db/session.h"
#include "support/engines.h"
#include "support/test_support.h"
#include "zebevi/db.h"

namespace zebevi::testing {

// The reference database on kPostgres or kOdbc. REQUIRES: EngineAvailable.
std::string ServerConnection(Engine engine);
// The items naming the client application, as pg_stat_activity shows it.
std::string ApplicationNameItem(Engine engine, std::string_view name);

// What the cases on the server's reference database share.
class ServerHelpers {
 protected:
  // The reference database's connection string, with `extra` appended.
  std::string Connection(std::string_view extra = {}) const;
  static DbConnectionRef Open(const std::string& connection_string);
  // The first value of the first row `command` gives.
  static Value First(DbConnection& connection, std::string_view command);
  // The server process behind `connection`.
  static int BackendPid(DbConnection& connection);
  // Ends the server process `pid` from another session, waiting until gone.
  void Terminate(int pid) const;

  std::string connection_string_;
};

// Cases on the server through libpq; failed under CI, else skipped, without it.
class PgTest : public ::testing::Test, protected ServerHelpers {
 protected:
  void SetUp() override;
};

// Cases run once per server engine.
class ServerEngineTest : public ::testing::TestWithParam<Engine>, protected ServerHelpers {
 protected:
  void SetUp() override;
  Engine engine() const { return GetParam(); }
};

#define ZEBEVI_INSTANTIATE_ON_SERVER_ENGINES(suite)                                 \
  INSTANTIATE_TEST_SUITE_P(Engines, suite,                                          \
                           ::testing::ValuesIn(::zebevi::testing::ServerEngines()), \
                           ::zebevi::testing::EngineParamName)

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_DB_PG_SUPPORT_H_
