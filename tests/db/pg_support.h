// Helpers of the connection tests, most of them on the PostgreSQL test
// server, reached through libpq or, as the ODBC engine, through psqlODBC.
#ifndef ZEBEVI_TESTS_DB_PG_SUPPORT_H_
#define ZEBEVI_TESTS_DB_PG_SUPPORT_H_

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

// The items naming the client application, as pg_stat_activity shows it;
// psqlODBC hands libpq options over in one item of its own.
inline std::string ApplicationNameItem(Engine engine, std::string_view name) {
  if (engine == Engine::kOdbc) return ";pqopt={application_name=" + std::string(name) + "}";
  return ";application_name=" + std::string(name);
}

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

inline int BackendPid(DbConnection& connection) {
  return First(connection, "SELECT pg_backend_pid()").int32();
}

// Ends the server process `pid` from another session, waiting (up to 5 s)
// until it is gone.
inline void Terminate(int pid) {
  DbConnectionRef killer = Open(*PostgresConnection() + ";Pooling=false");
  EXPECT_EQ(First(*killer, "SELECT pg_terminate_backend(" + std::to_string(pid) + ", 5000)"),
            Value::Boolean(true));
}

// What the cases on the server's reference database share.
class ServerCase {
 protected:
  static std::string ConnectionOn(Engine engine) {
    return engine == Engine::kOdbc ? *OdbcConnection() : *PostgresConnection();
  }
  // The reference database's connection string, with `extra` appended.
  std::string Connection(std::string_view extra = {}) const {
    return connection_string_ + std::string(extra);
  }
  std::string connection_string_;
};

// Cases on one engine; failed under CI, else skipped, without the server.
template <Engine kEngine>
class OnServer : public ::testing::Test, protected ServerCase {
 protected:
  void SetUp() override {
    ZEBEVI_REQUIRE_ENGINE(kEngine);
    connection_string_ = ConnectionOn(kEngine);
  }
};
using PgTest = OnServer<Engine::kPostgres>;
using OdbcTest = OnServer<Engine::kOdbc>;

// Cases run once per server engine.
class ServerEngineTest : public ::testing::TestWithParam<Engine>, protected ServerCase {
 protected:
  void SetUp() override {
    ZEBEVI_REQUIRE_ENGINE(GetParam());
    connection_string_ = ConnectionOn(GetParam());
  }
  Engine engine() const { return GetParam(); }
};

#define ZEBEVI_INSTANTIATE_ON_SERVER_ENGINES(suite)                                 \
  INSTANTIATE_TEST_SUITE_P(Engines, suite,                                          \
                           ::testing::ValuesIn(::zebevi::testing::ServerEngines()), \
                           ::zebevi::testing::EngineParamName)

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_DB_PG_SUPPORT_H_
