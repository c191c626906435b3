// Server faults and what the pool makes of them, through libpq and, where alike, psqlODBC.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <variant>

#include "db/connection_string.h"
#include "db/pg_support.h"
#include "db/pool.h"
#include "support/operation_calls.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using namespace ::zebevi::testing;  // the server helpers
using Clock = std::chrono::steady_clock;

// The running case's name: the application name of its sessions.
std::string CaseName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

class ServerFaults : public ServerEngineTest {
 protected:
  // A pool key of this case's own, so counts are not shared with others.
  std::string OwnKey() const { return Connection(ApplicationNameItem(engine(), CaseName())); }
};

TEST_P(ServerFaults, ATimeoutCancelsTheCommandOnly) {
  DbConnectionRef connection =
      Open(Connection(engine() == Engine::kOdbc ? ";Query Timeout=1" : ";Statement Timeout=200"));
  const Clock::time_point start = Clock::now();
  EXPECT_AUTOMATION_ERROR(connection->session().Execute("SELECT pg_sleep(5)"), kDbCommandFailed);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(4));
  EXPECT_EQ(First(*connection, "SELECT 1"), Value::Int32(1)) << "the session goes on";
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

// ODBC sees a session killed in the pool only by failing its next call.
using PgFaultsTest = PgTest;

TEST_F(PgFaultsTest, AnIdleSessionWhoseBackendDiedIsNeverLent) {
  const std::string key = Connection(ApplicationNameItem(Engine::kPostgres, CaseName()));
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
  const OperationCall call(
      "gConsulta_Grupo_Usuario_Parti",
      {{"invntUsuario_Internet_id", Value::Int32(2)},
       {"invntempresa_Id", Value::Int32(1)},
       {"invntGrupo_Usuario_Id", Value::Int32(static_cast<std::int32_t>(group))}},
      connection_string);
  return {call.result, ToString(std::get<Value>(call.args.back()))};
}

TEST_P(ServerFaults, OperationsTrapKilledBackendsAndRecover) {
  const std::string key = OwnKey();
  const std::int64_t group = ReferenceOn(engine()).summary.granted_user_group_id;
  ASSERT_EQ(CallFlags(key, group).first, Value::Int16(0));

  // Kills this case's sessions, and only those, again and again.
  std::atomic<bool> stop{false};
  std::atomic<bool> killing{false};
  std::thread killer([&, name = CaseName()] {
    DbConnectionRef admin = Open(*PostgresConnection() + ";Pooling=false");
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
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  for (int call = 0; (call < 60 || failed == 0) && Clock::now() < deadline; ++call) {
    const auto [status, message] = CallFlags(key, group);
    failed += status == Value::Int16(10);
    EXPECT_TRUE(status == Value::Int16(0) || (status == Value::Int16(10) && !message.empty()))
        << ToString(status);
  }
  stop = true;
  killer.join();
  EXPECT_GT(failed, 0) << "the killer never hit a call";
  Value after = CallFlags(key, group).first;
  if (engine() == Engine::kOdbc && after == Value::Int16(10)) after = CallFlags(key, group).first;
  EXPECT_EQ(after, Value::Int16(0)) << "once the kills stop";
}

ZEBEVI_INSTANTIATE_ON_SERVER_ENGINES(ServerFaults);

}  // namespace
}  // namespace zebevi
