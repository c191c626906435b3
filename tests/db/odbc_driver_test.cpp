// The ODBC driver: its connection strings, and on the test server through
// psqlODBC, the mapping of the driver's types to values, procedure calls
// sent as call escapes with bound parameters, timeouts and failures.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "db/connection_string.h"
#include "db/odbc/odbc_conninfo.h"
#include "db/pg_support.h"
#include "db/pool.h"
#include "support/test_support.h"
#include "zebevi/date.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using ::zebevi::testing::Engine;
using ::zebevi::testing::FailureOf;
using Clock = std::chrono::steady_clock;

db::OdbcConnectParams ParamsOf(std::string_view text) {
  return db::OdbcConnectParamsOf(db::ConnectionString::Parse(text));
}

TEST(OdbcConnectionString, KeysReachTheDriverQuotedAsOdbcRequires) {
  const struct {
    std::string_view given;
    std::string_view sent;
  } cases[] = {
      {"Driver={PostgreSQL Unicode};Server=/run/pg;Port=5432;Database=frete;UID=u;PWD=p",
       "DRIVER=PostgreSQL Unicode;SERVER=/run/pg;port=5432;DATABASE=frete;UID=u;PWD=p"},
      {"Provider=ODBC;DSN=frete;User ID=u;Password=\"a;b}c\";Pooling=false;Max Pool Size=2",
       "DSN=frete;UID=u;PWD={a;b}}c}"},
      {"Driver=FreeTDS;Host=db;Initial Catalog=frete;TDS_Version=7.4;ClientCharset=UTF-8",
       "DRIVER=FreeTDS;SERVER=db;DATABASE=frete;tds_version=7.4;clientcharset=UTF-8"},
      {"Driver={a}}b};pqopt={application_name=x};Options=' -c x'",
       "DRIVER={a}}b};pqopt={application_name=x};options={ -c x}"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParamsOf(c.given).text, c.sent) << c.given;
}

TEST(OdbcConnectionString, TimeoutsHaveDefaultsAndStayOurs) {
  const db::OdbcConnectParams defaults = ParamsOf("Driver=x");
  EXPECT_EQ(defaults.login_timeout, std::chrono::seconds(15));
  EXPECT_EQ(defaults.query_timeout, std::chrono::seconds(30));
  const db::OdbcConnectParams given =
      ParamsOf("Driver=x;Login Timeout=3;Query Timeout=0;PWD={p}}w}");
  EXPECT_EQ(given.text, "DRIVER=x;PWD={p}}w}");
  EXPECT_EQ(given.login_timeout, std::chrono::seconds(3));
  EXPECT_EQ(given.query_timeout, std::chrono::seconds(0));
  EXPECT_EQ(given.password, "p}w");
  EXPECT_EQ(ParamsOf("Driver=x;Connect Timeout=4;Command Timeout=5").login_timeout,
            std::chrono::seconds(4));
  for (const char* bad : {"Driver=x;Login Timeout=-1", "Driver=x;Query Timeout=1s",
                          "Driver=x;Login Timeout=", "Driver=x;PWD={a}b}"}) {
    const Error e = FailureOf([&] { ParamsOf(bad); });
    EXPECT_EQ(e.number(), kDbConnectionFailed) << bad;
    EXPECT_EQ(e.description().find("b}"), std::string::npos) << e.description();
  }
}

Value DateOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return Value::Date(DaysFromParts({year, month, day, hour, minute, second}));
}

class OdbcDriverTest : public ::testing::Test, protected testing::ServerHelpers {
 protected:
  void SetUp() override {
    ZEBEVI_REQUIRE_ENGINE(Engine::kOdbc);
    connection_string_ = *testing::OdbcConnection();
    connection_ = Open(Connection());
  }

  db::Table Run(std::string_view command) { return connection_->session().Execute(command); }

  DbConnectionRef connection_;
};

TEST_F(OdbcDriverTest, DriverTypesMapToValueKinds) {
  std::string long_text;
  for (int i = 0; i < 3000; ++i) long_text += "ação";
  const std::vector<std::pair<std::string, Value>> columns = {
      {"1::int2", Value::Int32(1)},
      {"-2::int4", Value::Int32(-2)},
      {"3::int8", Value::Int32(3)},
      {"5000000000::int8", Value::Double(5000000000.0)},
      {"12.00::numeric", Value::Int32(12)},
      {"12.5::numeric", Value::Double(12.5)},
      {"1.5::float4", Value::Double(1.5)},
      {"2.25::float8", Value::Double(2.25)},
      {"'x'::text", Value::String("x")},
      {"'y'::varchar", Value::String("y")},
      {"'z'::char(3)", Value::String("z  ")},
      {"DATE '2024-03-05'", DateOf(2024, 3, 5)},
      {"TIMESTAMP '2024-03-05 14:30:15'", DateOf(2024, 3, 5, 14, 30, 15)},
      {"TIMESTAMP '2024-03-05 00:00:00.5'",
       Value::Date(DaysFromParts({2024, 3, 5, 0, 0, 0}) + 0.5 / 86400)},
      {"'Produção ✓ 𝄞'", Value::String("Produção ✓ 𝄞")},
      {"repeat('ação', 3000)", Value::String(long_text)},  // read piece by piece
      {"'\\x00ff41'::bytea", Value::String(std::string("\x00\xff"
                                                       "A",
                                                       3))},
      {"NULL::int4", Value::Null()},
      {"NULL::text", Value::Null()},
      {"NULL::date", Value::Null()},
  };
  std::string select = "SELECT ";
  for (std::size_t c = 0; c < columns.size(); ++c) {
    select += (c ? ", " : "") + columns[c].first + " AS c" + std::to_string(c);
  }
  const db::Table table = Run(select);
  ASSERT_EQ(table.rows.size(), 1u);
  ASSERT_EQ(table.rows[0].size(), columns.size());
  EXPECT_EQ(table.columns.at(0), "c0");
  for (std::size_t c = 0; c < columns.size(); ++c) {
    EXPECT_EQ(table.rows[0][c], columns[c].second) << columns[c].first;
  }
}

TEST_F(OdbcDriverTest, ProceduresGoAsCallEscapesWithBoundArguments) {
  // The server folds the unquoted name the escape gives it.
  const db::Table route = Run("Exec SP_ZEB_CON_TEMPO_KM_ROTA 7.0");
  EXPECT_EQ(route.columns, (std::vector<std::string>{"total_km", "tempo_previsto"}));
  EXPECT_EQ(route.rows.size(), 1u);
  // Integers reach the function as bigint, other numbers and texts as what
  // its parameters take.
  for (const auto& [command, answer] : std::vector<std::pair<std::string, Value>>{
           {"EXEC int8inc 41", Value::Int32(42)},
           {"EXEC int8inc 9007199254740993", Value::Double(9007199254740994.0)},
           {"EXEC float8abs -1.5", Value::Double(1.5)},
           {"EXEC quote_literal 0.1", Value::String("'0.1'")},
           {"EXEC quote_literal 1e3", Value::String("'1000'")},
           {"EXEC textcat 'a''b ç𝄞', '|'", Value::String("a'b ç𝄞|")},
           {"EXEC textcat '?', '{fn now()}'", Value::String("?{fn now()}")}}) {
    EXPECT_EQ(Run(command).rows.at(0).at(0), answer) << command;
  }
  EXPECT_TRUE(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7.5").rows.empty());
  EXPECT_TRUE(Run("EXEC SP_ZEB_CON_Tempo_km_Rota NULL").rows.empty());
  EXPECT_TRUE(Run("EXEC SP_ZEB_CON_Tempo_km_Rota").rows.empty());
  EXPECT_EQ(Run("Exec SP_ZEB_CON_Resumo_Ciclo2 NULL, 'S'").rows.size(), 0u);
}

TEST_F(OdbcDriverTest, InjectedTextStaysAText) {
  const std::string hostile = "x'); DROP TABLE rota; --";
  EXPECT_EQ(Run("EXEC textcat 'x''); DROP TABLE rota; --', ''").rows.at(0).at(0),
            Value::String(hostile));
  EXPECT_EQ(Run("EXEC textcat '$1', ' ?)}'").rows.at(0).at(0), Value::String("$1 ?)}"));
  EXPECT_TRUE(Run("EXEC SP_ZEB_CON_Docto_Transporte_ID6 '1'' OR ''1''=''1'").rows.empty());
  EXPECT_EQ(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7").rows.size(), 1u) << "rota is still there";
  EXPECT_AUTOMATION_ERROR(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7; DROP TABLE rota"),
                          kDbCommandFailed);
  EXPECT_AUTOMATION_ERROR(Run("EXEC textcat 'a\xff', ''"), kDbCommandFailed);
  EXPECT_AUTOMATION_ERROR(Run(std::string("EXEC textcat 'a") + '\0' + "b', ''"), kDbCommandFailed);
}

TEST_F(OdbcDriverTest, FailuresOfACommandLeaveTheSessionGoingOn) {
  const Error missing = FailureOf([&] { Run("EXEC SP_ZEB_Nao_Existe 1, 'a'"); });
  EXPECT_EQ(missing.number(), kDbCommandFailed);
  EXPECT_NE(missing.description().find("procedure SP_ZEB_Nao_Existe: "), std::string::npos)
      << missing.description();
  EXPECT_NE(missing.description().find("does not exist"), std::string::npos)
      << missing.description();
  const Error bad = FailureOf([&] { Run("SELECT * FROM tabela_nenhuma"); });
  EXPECT_EQ(bad.number(), kDbCommandFailed);
  EXPECT_NE(bad.description().find("relation \"tabela_nenhuma\" does not exist"), std::string::npos)
      << bad.description();
  EXPECT_TRUE(Run("SET application_name = 'x'").rows.empty());
  EXPECT_EQ(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7").rows.size(), 1u) << "the session goes on";
}

TEST_F(OdbcDriverTest, AQueryTimeoutCancelsTheCommandOnly) {
  DbConnectionRef connection = Open(Connection(";Query Timeout=1"));
  const Clock::time_point start = Clock::now();
  const Error e = FailureOf([&] { connection->session().Execute("SELECT pg_sleep(5)"); });
  EXPECT_EQ(e.number(), kDbCommandFailed) << e.description();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(4));
  EXPECT_EQ(First(*connection, "SELECT 1"), Value::Int32(1)) << "the session goes on";
}

TEST_F(OdbcDriverTest, EveryWayOfNamingTheDriverConnects) {
  const db::ConnectionString parsed = db::ConnectionString::Parse(connection_string_);
  const std::string place = "Server=" + parsed.Get("server").value() +
                            ";Port=" + parsed.Get("port").value() +
                            ";Database=" + parsed.Get("database").value();
  // A data source of the caller's own, in a user odbc.ini.
  testing::TempDir dir;
  std::ofstream(dir / "odbc.ini") << "[zebevi_ref]\nDriver=" << testing::kOdbcTestDriver << "\n"
                                  << "Servername=" << parsed.Get("server").value() << "\n"
                                  << "Port=" << parsed.Get("port").value() << "\n"
                                  << "Database=" << parsed.Get("database").value() << "\n";
  ASSERT_EQ(setenv("ODBCINI", (dir / "odbc.ini").c_str(), 1), 0);
  for (const std::string& text : {
           "Driver=" + std::string(testing::kOdbcTestDriver) + ";" + place +
               ";UID=SISTEMA;PWD=TRMVQKD",
           "Provider=ODBC;Driver={" + std::string(testing::kOdbcTestDriver) + "};" + place +
               ";User ID=SISTEMA;Password=TRMVQKD",
           std::string("DSN=zebevi_ref;UID=SISTEMA;PWD=TRMVQKD"),
       }) {
    DbConnectionRef connection = Open(text);
    EXPECT_EQ(First(*connection, "SELECT current_user"), Value::String("SISTEMA"))
        << db::ConnectionString::Parse(text).Masked();
  }
  unsetenv("ODBCINI");
}

TEST_F(OdbcDriverTest, CredentialsAreQuotedAndNeverShown) {
  const Error wrong =
      FailureOf([&] { DbConnection().Open(connection_string_, "", "Segredo-456"); });
  EXPECT_EQ(wrong.number(), kDbConnectionFailed);
  EXPECT_NE(wrong.description().find("password authentication failed for user \"SISTEMA\""),
            std::string::npos)
      << wrong.description();
  EXPECT_EQ(wrong.description().find("Segredo"), std::string::npos) << wrong.description();

  const Error no_driver =
      FailureOf([] { DbConnection().Open("Driver={Nenhum};Server=x;PWD=Segredo-789"); });
  EXPECT_EQ(no_driver.number(), kDbConnectionFailed);
  EXPECT_EQ(no_driver.description().find("Segredo"), std::string::npos) << no_driver.description();
  // A password that ODBC must quote (scripts/pg-test-server's role).
  DbConnectionRef quoted = Open(Connection(";UID=zebevi_quoting;PWD=\"a;b}c={d\""));
  EXPECT_EQ(First(*quoted, "SELECT current_user"), Value::String("zebevi_quoting"));
  // Credentials handed to Open replace the string's.
  DbConnection replaced;
  replaced.Open(Connection(";UID=ninguem;PWD=Segredo-123"), "SISTEMA", "TRMVQKD");
  EXPECT_TRUE(replaced.is_open());
}

// A backend that dies while its session waits in the pool is noticed only
// when the session is used again (the driver answers SQL_ATTR_CONNECTION_DEAD
// from what it last saw): that one call fails as a connection failure, and
// the session is dropped instead of going back to the pool.
TEST_F(OdbcDriverTest, AnIdleSessionWhoseBackendDiedFailsOnceAndIsDropped) {
  const std::string key = Connection(testing::ApplicationNameItem(Engine::kOdbc, "idle-died"));
  const auto counts = [&] {
    return db::ConnectionPool::Process().CountsOf(db::ConnectionString::Parse(key));
  };
  DbConnectionRef first = Open(key);
  const int pid = BackendPid(*first);
  first->Close();
  ASSERT_EQ(counts().idle, 1u);
  Terminate(pid);

  DbConnectionRef second = Open(key);
  EXPECT_AUTOMATION_ERROR(BackendPid(*second), kDbConnectionFailed);
  second->Close();
  EXPECT_EQ(counts().idle, 0u);
  EXPECT_EQ(counts().lent, 0u);
  EXPECT_NE(BackendPid(*Open(key)), pid);
}

}  // namespace
}  // namespace zebevi
