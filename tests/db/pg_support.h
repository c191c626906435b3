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

// The reference database's connection string on a server engine
// (kPostgres or kOdbc). REQUIRES: EngineAvailable(engine).
std::string ServerConnection(Engine engine);
// The connection string items that name the client application `name`,
// which the server shows in pg_stat_activity, on `engine`.
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
  // Ends the server process `pid` from another session and waits until it
  // is gone.
  void Terminate(int pid) const;

  std::string connection_string_;
};

// Cases that run on the server's reference database through libpq; failed
// under CI and skipped elsewhere when there is no server.
class PgTest : public ::testing::Test, protected ServerHelpers {
 protected:
  void SetUp() override;
};

// Cases that run once per server engine (ServerEngines()), on the same
// server's reference database.
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
