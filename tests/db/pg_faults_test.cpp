// Server faults and what the pool makes of them, through libpq and, where alike, psqlODBC.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "db/connection_string.h"
#include "db/pg_support.h"
#include "db/pool.h"
#include "support/engines.h"
#include "support/operation_calls.h"
#include "support/test_support.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using ::zebevi::testing::Engine;
using ::zebevi::testing::FailureOf;
using ::zebevi::testing::PgTest;
using ::zebevi::testing::ServerEngineTest;
using Clock = std::chrono::steady_clock;

db::ConnectionPool::Counts Counts(const std::string& connection_string) {
  return db::ConnectionPool::Process().CountsOf(db::ConnectionString::Parse(connection_string));
}

// The running case's name: its sessions' application name.
std::string CaseName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

class PgFaultsTest : public PgTest {
 protected:
  // A pool key of this test's own, so counts are not shared with others.
  std::string OwnKey() const {
    return Connection(testing::ApplicationNameItem(Engine::kPostgres, CaseName()));
  }
};

class ServerFaults : public ServerEngineTest {
 protected:
  std::string OwnKey() const {
    return Connection(testing::ApplicationNameItem(engine(), CaseName()));
  }
  // The engine's connection string to a server that is not there.
  std::string Down() const {
    if (engine() == Engine::kOdbc) {
      return "Driver={" + std::string(testing::kOdbcTestDriver) +
             "};Server=/tmp/zebevi-no-server;UID=SISTEMA;PWD=x";
    }
    return "Provider=PostgreSQL;Host=/tmp/zebevi-no-server;User ID=SISTEMA;Password=x";
  }
};

TEST_F(PgFaultsTest, AServerThatIsDownOrATimeoutFailsTheCommandOnly) {
  const std::string down =
      "Provider=PostgreSQL;Host=/tmp/zebevi-no-server;Database=zebevi;User ID=SISTEMA;"
      "Password=TRMVQKD";
  const Error e = FailureOf([&] { Open(down); });
  EXPECT_EQ(e.number(), kDbConnectionFailed);
  EXPECT_NE(e.description().find("cannot connect to PostgreSQL: connection to server on socket "
                                 "\"/tmp/zebevi-no-server/.s.PGSQL.5432\" failed"),
            std::string::npos)
      << e.description();
  EXPECT_EQ(Counts(down).lent + Counts(down).idle, 0u) << "nothing is kept of a failed open";

  for (const char* extra : {";Statement Timeout=200", ";options=-c statement_timeout=200"}) {
    DbConnectionRef connection = Open(Connection(extra));
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(FailureOf([&] { connection->session().Execute("SELECT pg_sleep(5)"); }).description(),
              "canceling statement due to statement timeout");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(First(*connection, "SELECT 1"), Value::Int32(1)) << "the session goes on";
  }
}

TEST_P(ServerFaults, ABackendKilledBetweenCallsFailsTheNextCallOnly) {
  const std::string key = OwnKey();
  DbConnectionRef connection = Open(key);
  const int pid = BackendPid(*connection);
  Terminate(pid);
  const Error e =
      FailureOf([&] { connection->session().Execute("EXEC SP_ZEB_CON_Tempo_km_Rota 7"); });
  EXPECT_EQ(e.number(), kDbConnectionFailed);
  EXPECT_NE(e.description().find("terminating connection due to administrator command"),
            std::string::npos)
      << e.description();
  connection->Close();
  EXPECT_EQ(Counts(key).idle + Counts(key).lent, 0u) << "a lost session is dropped, not pooled";
  DbConnectionRef again = Open(key);
  EXPECT_NE(BackendPid(*again), pid);
  EXPECT_EQ(again->session().Execute("EXEC SP_ZEB_CON_Tempo_km_Rota 7").rows.size(), 1u);
}

TEST_P(ServerFaults, PooledSessionsAreReusedUnlessPoolingIsOff) {
  for (const bool pooled : {true, false}) {
    const std::string key = OwnKey() + (pooled ? "" : ";Pooling=false");
    DbConnectionRef first = Open(key);
    const int pid = BackendPid(*first);
    first->Close();
    EXPECT_EQ(Counts(key).idle, pooled ? 1u : 0u);
    EXPECT_EQ(BackendPid(*Open(key)) == pid, pooled);
  }
}

TEST_F(PgFaultsTest, AnIdleSessionWhoseBackendDiedIsNeverLent) {
  const std::string key = OwnKey();
  DbConnectionRef first = Open(key);
  const int pid = BackendPid(*first);
  first->Close();
  ASSERT_EQ(Counts(key).idle, 1u);
  Terminate(pid);
  DbConnectionRef second = Open(key);
  EXPECT_NE(BackendPid(*second), pid) << "the health check dropped the dead one";
  EXPECT_EQ(Counts(key).lent, 1u);
  EXPECT_EQ(Counts(key).idle, 0u);
}

// The feature flags of a user group: the status and the message.
std::pair<Value, std::string> CallFlags(const std::string& connection_string, std::int64_t group) {
  const testing::OperationCall call(
      "gConsulta_Grupo_Usuario_Parti",
      {{"invntUsuario_Internet_id", Value::Int32(2)},
       {"invntempresa_Id", Value::Int32(1)},
       {"invntGrupo_Usuario_Id", Value::Int32(static_cast<std::int32_t>(group))}},
      connection_string);
  return {call.result, ToString(std::get<Value>(call.args.back()))};
}

TEST_P(ServerFaults, OperationsTrapKilledBackendsAndRecover) {
  const testing::EngineReference& reference = testing::ReferenceOn(engine());
  const std::string key = OwnKey();
  const std::int64_t group = reference.summary.granted_user_group_id;
  ASSERT_EQ(CallFlags(key, group).first, Value::Int16(0));

  // Kills this test's sessions, and only those, again and again.
  std::atomic<bool> stop{false};
  std::atomic<bool> killing{false};
  const std::string name = CaseName();
  std::thread killer([&] {
    DbConnectionRef admin = Open(*testing::PostgresConnection() + ";Pooling=false");
    killing = true;
    while (!stop) {
      admin->session().Execute(
          "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = '" +
          name + "'");
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  while (!killing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // On until the killer has hit a call: a fast machine can run 60 between two kills.
  int failed = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (int call = 0; (call < 60 || failed == 0) && std::chrono::steady_clock::now() < deadline;
       ++call) {
    const auto [status, message] = CallFlags(key, group);
    if (status == Value::Int16(10)) {
      ++failed;
      EXPECT_FALSE(message.empty());
    } else {
      EXPECT_EQ(status, Value::Int16(0));
    }
  }
  stop = true;
  killer.join();
  EXPECT_GT(failed, 0) << "the killer never hit a call";
  // ODBC sees a session killed in the pool only by failing its next call.
  Value after = CallFlags(key, group).first;
  if (engine() == Engine::kOdbc && after == Value::Int16(10)) after = CallFlags(key, group).first;
  EXPECT_EQ(after, Value::Int16(0)) << "once the kills stop";
  const auto [status, message] = CallFlags(Down(), group);
  EXPECT_EQ(status, Value::Int16(10));
  EXPECT_FALSE(message.empty());
}

ZEBEVI_INSTANTIATE_ON_SERVER_ENGINES(ServerFaults);

}  // namespace
}  // namespace zebevi
