// Helpers of the connection tests: the pool's counts, and cases on the PostgreSQL
// test server, reached through libpq or, as the ODBC engine, through psqlODBC.
#ifndef ZEBEVI_TESTS_DB_DB_SUPPORT_H_
#define ZEBEVI_TESTS_DB_DB_SUPPORT_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "db/connection_string.h"
#include "db/pool.h"
#include "db/session.h"
#include "support/engines.h"
#include "support/test_support.h"
#include "zebevi/db.h"

namespace zebevi::testing {

inline DbConnectionRef Open(const std::string& connection_string) {
  auto connection = std::make_shared<DbConnection>();
  connection->Open(connection_string);
  return connection;
}

// The pool's counts for `connection_string`, opened without a user.
inline db::ConnectionPool::Counts Counts(const std::string& connection_string) {
  return db::ConnectionPool::Process().CountsOf(db::ConnectionString::Parse(connection_string));
}

// The first value of the first row `command` gives.
inline Value First(DbConnection& connection, std::string_view command) {
  return connection.session().Execute(command).rows.at(0).at(0);
}

// Cases on the server's reference database through engine(), run once per
// server engine; failed under CI, else skipped, without the server.
class ServerEngineTest : public ::testing::TestWithParam<Engine> {
 protected:
  void SetUp() override {
    ZEBEVI_REQUIRE_ENGINE(engine());
    connection_string_ = engine() == Engine::kOdbc ? *OdbcConnection() : *PostgresConnection();
  }
  virtual Engine engine() const { return GetParam(); }
  // The reference database's connection string, with `extra` appended.
  std::string Connection(std::string_view extra = {}) const {
    return connection_string_ + std::string(extra);
  }
  // `command`'s answer on a pooled session of the reference database.
  db::Table Run(std::string_view command) { return Open(Connection())->session().Execute(command); }
  Value One(std::string_view command) { return Run(command).rows.at(0).at(0); }
  std::string connection_string_;
};

// The same on one engine only.
template <Engine kEngine>
class OnServer : public ServerEngineTest {
 protected:
  Engine engine() const override { return kEngine; }
};
using PgTest = OnServer<Engine::kPostgres>;
using OdbcTest = OnServer<Engine::kOdbc>;

#define ZEBEVI_INSTANTIATE_ON_SERVER_ENGINES(suite)                                 \
  INSTANTIATE_TEST_SUITE_P(Engines, suite,                                          \
                           ::testing::ValuesIn(::zebevi::testing::ServerEngines()), \
                           ::zebevi::testing::EngineParamName)

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_DB_DB_SUPPORT_H_
