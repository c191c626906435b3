// The PostgreSQL driver, and server faults with what the pool makes of them: what libpq and
// psqlODBC share runs on both; typed parameters, prepared calls and the keys of connection
// strings are libpq's.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <tuple>
#include <variant>
#include <vector>

#include "db/connection_string.h"
#include "db/db_support.h"
#include "db/postgres/pg_conninfo.h"
#include "support/operation_calls.h"
#include "zebevi/date.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using namespace ::zebevi::testing;  // the server helpers
using Clock = std::chrono::steady_clock;

Value DateOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return Value::Date(DaysFromParts({year, month, day, hour, minute, second}));
}

using ServerDriver = ServerEngineTest;

TEST_P(ServerDriver, ServerTypesMapToValueKinds) {
  for (const auto& [expression, value] : std::vector<std::pair<const char*, Value>>{
           {"1::int2", Value::Int32(1)},
           {"3::int8", Value::Int32(3)},
           {"5000000000::int8", Value::Double(5000000000.0)},
           {"12.00::numeric", Value::Int32(12)},
           {"12.5::numeric", Value::Double(12.5)},
           {"1.5::float4", Value::Double(1.5)},
           {"'z'::char(3)", Value::String("z  ")},
           {"DATE '2024-03-05'", DateOf(2024, 3, 5)},
           {"TIMESTAMP '2024-03-05 00:00:00.5'",
            Value::Date(DaysFromParts({2024, 3, 5, 0, 0, 0}) + 0.5 / 86400)},
           {"'Produção ✓ 𝄞'", Value::String("Produção ✓ 𝄞")},
           {"NULL::date", Value::Null()}}) {
    const db::Table table = Run(std::string("SELECT ") + expression + " AS c0");
    EXPECT_EQ(table.columns, std::vector<std::string>{"c0"});
    EXPECT_EQ(table.rows.at(0).at(0), value) << expression;
  }
}

TEST_P(ServerDriver, ProcedureCallsAnswerOrFailTheCommandOnly) {
  EXPECT_EQ(Run("Exec SP_ZEB_CON_TEMPO_KM_ROTA 7.0").columns,
            (std::vector<std::string>{"total_km", "tempo_previsto"}));
  // A fraction is no identifier; a whole decimal is.
  for (const auto& [command, rows] : std::vector<std::pair<const char*, std::size_t>>{
           {"eXeC SP_ZEB_CON_Tempo_km_Rota +7 ", 1},
           {"EXEC SP_ZEB_CON_Tempo_km_Rota 7.5", 0},
           {"EXEC SP_ZEB_CON_Tempo_km_Rota", 0},
           {"EXEC SP_ZEB_CON_Docto_Transporte_ID6 '1'' OR ''1''=''1'", 0}}) {
    EXPECT_EQ(Run(command).rows.size(), rows) << command;
  }
  // What is not a literal never reaches the server.
  EXPECT_AUTOMATION_ERROR(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7; DROP TABLE rota"),
                          kDbCommandFailed);
  for (const auto& [command, says] : std::vector<std::pair<const char*, const char*>>{
           {"EXEC SP_ZEB_Nao_Existe 1, 'a'", "procedure SP_ZEB_Nao_Existe: "},
           {"SELECT * FROM tabela_nenhuma", "relation \"tabela_nenhuma\" does not exist"}}) {
    EXPECT_AUTOMATION_ERROR_SAYING(Run(command), kDbCommandFailed, says);
  }
  EXPECT_EQ(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7").rows.size(), 1u) << "rota and the session stay";
}

TEST_P(ServerDriver, CredentialsGivenToOpenReplaceTheStringsAndAreNeverShown) {
  DbConnection replaced;
  replaced.Open(Connection(engine() == Engine::kOdbc ? ";UID=ninguem;PWD=Segredo-123"
                                                     : ";User ID=ninguem;Password=Segredo-123"),
                "SISTEMA", "TRMVQKD");
  EXPECT_TRUE(replaced.is_open());
  const Error e = FailureOf([&] { DbConnection().Open(connection_string_, "", "Segredo-456"); });
  EXPECT_NE(e.description().find("password authentication failed for user \"SISTEMA\""),
            std::string::npos)
      << e.description();
  EXPECT_EQ(e.description().find("Segredo"), std::string::npos) << e.description();
}

using PgDriverTest = PgTest;

// UTF-8, ISO dates and a statement timeout, whatever the string asks.
TEST_F(PgDriverTest, SessionSettingsAreOursUnlessTold) {
  const std::string odd =
      ";client_encoding=LATIN1;options=-c DateStyle=SQL,DMY -c TimeZone=America/Sao_Paulo";
  for (const auto& [extra, command, value] :
       std::vector<std::tuple<std::string, const char*, Value>>{
           {odd, "SHOW client_encoding", Value::String("UTF8")},
           {odd, "SHOW DateStyle", Value::String("ISO, YMD")},
           // timestamptz is read as the session's zone shows it.
           {odd, "SELECT TIMESTAMPTZ '2024-03-05 14:30:15+00'", DateOf(2024, 3, 5, 11, 30, 15)},
           {odd, "SELECT DATE 'infinity'", Value::String("infinity")},
           {"", "SHOW statement_timeout", Value::String("30s")},
           {";Statement Timeout=1500", "SHOW statement_timeout", Value::String("1500ms")},
           {";options=-c statement_timeout=5000;Statement Timeout=0", "SHOW statement_timeout",
            Value::String("0")}}) {
    EXPECT_EQ(First(*Open(Connection(";Pooling=false" + extra)), command), value) << command;
  }
}

TEST_F(PgDriverTest, ArgumentsTravelAsTypedParameters) {
  for (const auto& [command, first] : std::vector<std::pair<const char*, Value>>{
           {"EXEC pg_typeof 5", Value::String("bigint")},
           {"EXEC pg_typeof 2.5", Value::String("numeric")},
           {"EXEC concat_ws '|', 'a''b', 42, -1.5, 1e3, 'ç'", Value::String("a'b|42|-1.5|1000|ç")},
           // NULL takes the type of the function's parameter.
           {"EXEC concat_ws NULL, 'a'", Value::Null()}}) {
    EXPECT_EQ(One(command), first) << command;
  }
  for (const char* bad : {"EXEC pg_sleep(1)", "EXEC SP_ZEB_CON_Tempo_km_Rota 7, 8", "   "}) {
    EXPECT_AUTOMATION_ERROR(Run(bad), kDbCommandFailed);
  }
  EXPECT_EQ(FailureOf([&] { Run("EXEC SP_ZEB_Nao_Existe 1, 'a'"); }).description(),
            "procedure SP_ZEB_Nao_Existe: function sp_zeb_nao_existe(bigint, text) does not exist");
}

TEST_F(PgDriverTest, EveryFormOfConnectionStringConnectsAndBadKeysFail) {
  const db::ConnectionString parsed = db::ConnectionString::Parse(connection_string_);
  const std::string place = "host=" + parsed.Get("data source").value() +
                            "&port=" + parsed.Get("port").value() + "&application_name=pela-uri";
  const std::string database = parsed.Get("database").value();
  for (const std::string& text : {
           "postgresql://SISTEMA:TRMVQKD@/" + database + "?" + place,
           "postgres:///" + database + "?" + place + "&user=SISTEMA&password=TRMVQKD",
           "Provider=Postgres;Server=" + parsed.Get("data source").value() +
               ";Port=" + parsed.Get("port").value() + ";Initial Catalog=" + database +
               ";UID=SISTEMA;PWD=TRMVQKD;application name=pela-uri",
       }) {
    EXPECT_EQ(First(*Open(text), "SELECT current_setting('application_name') || current_user"),
              Value::String("pela-uriSISTEMA"))
        << db::ConnectionString::Parse(text).Masked();
  }
  // Unknown keys fail by their item alone: one may be a password's tail.
  const Error e = FailureOf([&] { Open(Connection(";Password=Tr0ub4dor;3xtra=pw")); });
  EXPECT_EQ(e.description().find("3xtra"), std::string::npos) << e.description();
  EXPECT_NE(e.description().find("has an unknown key"), std::string::npos) << e.description();
  // Ours, libpq's and the pool's keys all pass.
  EXPECT_NO_THROW(db::PgConnectParamsOf(db::ConnectionString::Parse(
      "Provider=PostgreSQL;Server=h;Initial Catalog=d;UID=u;PWD=p;Connect Timeout=3;"
      "Statement Timeout=5;Max Pool Size=2;sslmode=disable;Application Name=x;passfile=/p")));
  EXPECT_AUTOMATION_ERROR(Open(Connection(";Statement Timeout=1 -c work_mem=1")),
                          kDbConnectionFailed);
  EXPECT_AUTOMATION_ERROR(Open("postgresql://SISTEMA:TRMVQKD@/zebevi?nada=%zz"),
                          kDbConnectionFailed);
}

TEST_F(PgDriverTest, CallsArePreparedOncePerFunctionAndArgumentTypes) {
  // A session of its own, so that no other test's calls are counted.
  DbConnectionRef connection = Open(Connection(";Pooling=false"));
  for (const auto& [command, prepared] : std::vector<std::pair<const char*, int>>{
           {"EXEC SP_ZEB_CON_Tempo_km_Rota 7", 1},
           {"exec sp_zeb_con_tempo_km_rota 8", 1},
           // bigint, untyped and numeric are three statements.
           {"EXEC SP_ZEB_CON_Tempo_km_Rota NULL", 2},
           {"EXEC SP_ZEB_CON_Tempo_km_Rota 7.5", 3},
           {"EXEC SP_ZEB_Nao_Existe 1", 3},
           // A plain command that drops them all does not break the next call.
           {"DEALLOCATE ALL", 0},
           {"EXEC SP_ZEB_CON_Tempo_km_Rota 7", 1}}) {
    try {
      connection->session().Execute(command);
    } catch (const Error&) {
    }
    EXPECT_EQ(First(*connection, "SELECT count(*)::int FROM pg_prepared_statements").int32(),
              prepared)
        << command;
  }
}

TEST_F(PgDriverTest, AFunctionReplacedUnderAPreparedCallIsPreparedAgain) {
  const std::string name = "zebevi_test_replaced_" + std::to_string(::getpid());
  DbConnectionRef other = Open(Connection(";Pooling=false"));
  DbConnectionRef connection = Open(Connection(";Pooling=false"));
  const std::string call = "EXEC " + name + " 41";
  for (const auto& [returns, body, answer] :
       std::vector<std::tuple<const char*, const char*, Value>>{
           {"a integer", "SELECT p::integer + 1", Value::Int32(42)},
           {"a integer", "SELECT p::integer + 2", Value::Int32(43)},
           {"b text, a integer", "SELECT 'x', p::integer", Value::String("x")}}) {
    other->session().Execute("DROP FUNCTION IF EXISTS " + name + "(numeric)");
    other->session().Execute("CREATE FUNCTION " + name +
                             "(p numeric DEFAULT NULL) RETURNS TABLE (" + returns +
                             ") LANGUAGE sql AS $$ " + body + " $$");
    EXPECT_EQ(First(*connection, call), answer) << body;
  }
  other->session().Execute("DROP FUNCTION " + name + "(numeric)");
  EXPECT_AUTOMATION_ERROR(First(*connection, call), kDbCommandFailed);
}

int BackendPid(DbConnection& connection) {
  return First(connection, "SELECT pg_backend_pid()").int32();
}

// Ends the server process `pid` from another session, waiting (up to 5 s) until it is gone.
void Terminate(int pid) {
  EXPECT_EQ(First(*Open(*PostgresConnection() + ";Pooling=false"),
                  "SELECT pg_terminate_backend(" + std::to_string(pid) + ", 5000)"),
            Value::Boolean(true));
}

// The running case's name: the application name of its sessions.
std::string CaseName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

class ServerFaults : public ServerEngineTest {
 protected:
  // A pool key of this case's own, so counts are not shared with others; psqlODBC hands
  // libpq options over in one item of its own.
  std::string OwnKey() const {
    return Connection(engine() == Engine::kOdbc ? ";pqopt={application_name=" + CaseName() + "}"
                                                : ";application_name=" + CaseName());
  }
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
  EXPECT_AUTOMATION_ERROR_SAYING(connection->session().Execute("EXEC SP_ZEB_CON_Tempo_km_Rota 7"),
                                 kDbConnectionFailed,
                                 "terminating connection due to administrator command");
  connection->Close();
  EXPECT_EQ(Counts(key).idle + Counts(key).lent, 0u) << "a lost session is dropped, not pooled";
  DbConnectionRef again = Open(key);
  EXPECT_NE(BackendPid(*again), pid);
  EXPECT_EQ(again->session().Execute("EXEC SP_ZEB_CON_Tempo_km_Rota 7").rows.size(), 1u);
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

ZEBEVI_INSTANTIATE_ON_SERVER_ENGINES(ServerDriver);
ZEBEVI_INSTANTIATE_ON_SERVER_ENGINES(ServerFaults);

// ODBC sees a session killed in the pool only by failing its next call.
using PgFaultsTest = PgTest;

TEST_F(PgFaultsTest, AnIdleSessionWhoseBackendDiedIsNeverLent) {
  const std::string key = Connection(";application_name=" + CaseName());
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

}  // namespace
}  // namespace zebevi
