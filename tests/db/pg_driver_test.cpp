// The PostgreSQL driver on the test server: connection strings, the
// mapping of server types to values, and procedure calls turned into
// function calls with their arguments as parameters.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "db/connection_string.h"
#include "db/pg_support.h"
#include "support/test_support.h"
#include "zebevi/date.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using ::zebevi::testing::FailureOf;
using ::zebevi::testing::PgTest;

Value DateOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return Value::Date(DaysFromParts({year, month, day, hour, minute, second}));
}

class PgDriverTest : public PgTest {
 protected:
  void SetUp() override {
    PgTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    connection_ = Open(Connection());
  }

  db::Table Run(std::string_view command) { return connection_->session().Execute(command); }

  DbConnectionRef connection_;
};

TEST_F(PgDriverTest, ServerTypesMapToValueKinds) {
  // A zone of its own shows that timestamptz is read as the session shows it.
  DbConnectionRef connection = Open(Connection(";options=-c TimeZone=America/Sao_Paulo"));
  const db::Table table = connection->session().Execute(R"sql(
    SELECT 1::int2 AS a, -2::int4 AS b, 3::int8 AS c, 5000000000::int8 AS d,
           12.00::numeric AS e, 12.5::numeric AS f, 1.5::float4 AS g, 2.25::float8 AS h,
           'x'::text AS i, 'y'::varchar AS j, 'z'::char(3) AS k,
           DATE '2024-03-05' AS l, TIMESTAMP '2024-03-05 14:30:15' AS m,
           TIMESTAMPTZ '2024-03-05 14:30:15+00' AS n, true AS o, NULL::int4 AS p,
           '{1,2}'::int[] AS q, 'Produção' AS r, DATE 'infinity' AS s,
           TIMESTAMP '2024-03-05 00:00:00.5' AS t, 'NaN'::float8 AS u)sql");
  ASSERT_EQ(table.rows.size(), 1u);
  const std::vector<Value>& row = table.rows[0];
  EXPECT_EQ(table.columns.at(0), "a");
  EXPECT_EQ(row.at(0), Value::Int32(1));
  EXPECT_EQ(row.at(1), Value::Int32(-2));
  EXPECT_EQ(row.at(2), Value::Int32(3));
  EXPECT_EQ(row.at(3), Value::Double(5000000000.0));
  EXPECT_EQ(row.at(4), Value::Int32(12));
  EXPECT_EQ(row.at(5), Value::Double(12.5));
  EXPECT_EQ(row.at(6), Value::Double(1.5));
  EXPECT_EQ(row.at(7), Value::Double(2.25));
  EXPECT_EQ(row.at(8), Value::String("x"));
  EXPECT_EQ(row.at(9), Value::String("y"));
  EXPECT_EQ(row.at(10), Value::String("z  "));
  EXPECT_EQ(row.at(11), DateOf(2024, 3, 5));
  EXPECT_EQ(row.at(12), DateOf(2024, 3, 5, 14, 30, 15));
  EXPECT_EQ(row.at(13), DateOf(2024, 3, 5, 11, 30, 15));
  EXPECT_EQ(row.at(14), Value::Boolean(true));
  EXPECT_EQ(row.at(15), Value::Null());
  EXPECT_EQ(row.at(16), Value::String("{1,2}"));
  EXPECT_EQ(row.at(17), Value::String("Produção"));
  EXPECT_EQ(row.at(18), Value::String("infinity"));
  EXPECT_EQ(row.at(19), Value::Date(DaysFromParts({2024, 3, 5, 0, 0, 0}) + 0.5 / 86400));
  EXPECT_EQ(row.at(20).kind(), Kind::kDouble);
}

TEST_F(PgDriverTest, SessionsTalkUtf8AndIsoDatesWhateverTheStringAsks) {
  DbConnectionRef connection =
      Open(Connection(";client_encoding=LATIN1;options=-c DateStyle=SQL,DMY"));
  EXPECT_EQ(First(*connection, "SHOW client_encoding"), Value::String("UTF8"));
  EXPECT_EQ(First(*connection, "SHOW DateStyle"), Value::String("ISO, YMD"));
  EXPECT_EQ(First(*connection, "SELECT DATE '2024-12-31'"), DateOf(2024, 12, 31));
  EXPECT_EQ(First(*connection, "SELECT length('Informações')"), Value::Int32(11));
}

TEST_F(PgDriverTest, ProcedureNamesIgnoreLetterCase) {
  for (const char* command :
       {"EXEC SP_ZEB_CON_Tempo_km_Rota  7", "exec sp_zeb_con_tempo_km_rota 7",
        "Exec SP_ZEB_CON_TEMPO_KM_ROTA 7.0", "eXeC SP_ZEB_CON_Tempo_km_Rota +7 "}) {
    const db::Table table = Run(command);
    ASSERT_EQ(table.rows.size(), 1u) << command;
    EXPECT_EQ(table.columns, (std::vector<std::string>{"total_km", "tempo_previsto"}));
    EXPECT_EQ(table.rows[0][0].kind(), Kind::kDouble) << command;
  }
}

TEST_F(PgDriverTest, ArgumentsTravelAsTypedParameters) {
  EXPECT_EQ(Run("EXEC pg_typeof 5").rows.at(0).at(0), Value::String("bigint"));
  EXPECT_EQ(Run("EXEC pg_typeof 2.5").rows.at(0).at(0), Value::String("numeric"));
  EXPECT_EQ(Run("EXEC pg_typeof 'texto'").rows.at(0).at(0), Value::String("text"));
  EXPECT_EQ(Run("EXEC concat_ws '|', 'a''b', 42, -1.5, 1e3, 'ç'").rows.at(0).at(0),
            Value::String("a'b|42|-1.5|1000|ç"));
  // NULL takes the type of the function's parameter.
  EXPECT_EQ(Run("EXEC concat_ws NULL, 'a'").rows.at(0).at(0), Value::Null());
  // A fraction is no identifier; a whole decimal is.
  EXPECT_TRUE(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7.5").rows.empty());
}

TEST_F(PgDriverTest, NullAndMissingArgumentsResolveTheFunction) {
  EXPECT_TRUE(Run("EXEC SP_ZEB_CON_Tempo_km_Rota NULL").rows.empty());
  EXPECT_TRUE(Run("EXEC SP_ZEB_CON_Tempo_km_Rota").rows.empty());
  EXPECT_TRUE(
      Run("EXEC SP_ZEB_CON_Docto_Transporte_ID6 NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
          "NULL")
          .rows.empty());
  EXPECT_EQ(Run("Exec SP_ZEB_CON_Resumo_Ciclo2 NULL, 'S'").rows.size(), 0u);
}

TEST_F(PgDriverTest, InjectedTextStaysAText) {
  const std::string hostile = "x'); DROP TABLE rota; --";
  EXPECT_EQ(Run("EXEC concat_ws ',', 'x''); DROP TABLE rota; --'").rows.at(0).at(0),
            Value::String(hostile));
  EXPECT_TRUE(Run("EXEC SP_ZEB_CON_Docto_Transporte_ID6 '1'' OR ''1''=''1'").rows.empty());
  EXPECT_EQ(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7").rows.size(), 1u) << "rota is still there";
  // What is not a literal never reaches the server.
  EXPECT_AUTOMATION_ERROR(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7; DROP TABLE rota"),
                          kDbCommandFailed);
  EXPECT_AUTOMATION_ERROR(Run("EXEC pg_sleep(1)"), kDbCommandFailed);
}

TEST_F(PgDriverTest, AMissingFunctionFailsTheCommandOnly) {
  const Error e = FailureOf([&] { Run("EXEC SP_ZEB_Nao_Existe 1, 'a'"); });
  EXPECT_EQ(e.number(), kDbCommandFailed);
  EXPECT_EQ(e.description(),
            "procedure SP_ZEB_Nao_Existe: function sp_zeb_nao_existe(bigint, text) does not exist");
  EXPECT_AUTOMATION_ERROR(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7, 8"), kDbCommandFailed);
  EXPECT_EQ(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7").rows.size(), 1u) << "the session goes on";
}

TEST_F(PgDriverTest, PlainSqlRunsOneStatement) {
  EXPECT_EQ(Run("SELECT rota_id FROM ROTA WHERE rota_id = 7").columns,
            (std::vector<std::string>{"rota_id"}));
  EXPECT_AUTOMATION_ERROR(Run("SELECT 1; SELECT 2"), kDbCommandFailed);
  EXPECT_AUTOMATION_ERROR(Run("   "), kDbCommandFailed);
  const Error e = FailureOf([&] { Run("SELECT * FROM tabela_nenhuma"); });
  EXPECT_EQ(e.description(), "relation \"tabela_nenhuma\" does not exist");
  EXPECT_TRUE(Run("SET application_name = 'x'").rows.empty());
}

TEST_F(PgDriverTest, EveryFormOfConnectionStringConnects) {
  const db::ConnectionString parsed = db::ConnectionString::Parse(connection_string_);
  const std::string host = parsed.Get("data source").value();
  const std::string port = parsed.Get("port").value();
  const std::string database = parsed.Get("database").value();
  for (const std::string& text : {
           "postgresql://SISTEMA:TRMVQKD@/" + database + "?host=" + host + "&port=" + port +
               "&application_name=pela-uri",
           "postgres:///" + database + "?host=" + host + "&port=" + port +
               "&user=SISTEMA&password=TRMVQKD&application_name=pela-uri",
           "Provider=Postgres;Server=" + host + ";Port=" + port + ";Initial Catalog=" + database +
               ";UID=SISTEMA;PWD=TRMVQKD;application name=pela-uri",
       }) {
    DbConnectionRef connection = Open(text);
    EXPECT_EQ(First(*connection, "SELECT current_setting('application_name')"),
              Value::String("pela-uri"))
        << db::ConnectionString::Parse(text).Masked();
    EXPECT_EQ(First(*connection, "SELECT current_user"), Value::String("SISTEMA"));
  }
}

TEST_F(PgDriverTest, CredentialsGivenToOpenReplaceTheString) {
  // A key given twice keeps its last value.
  DbConnection connection;
  connection.Open(Connection(";User ID=ninguem;Password=Segredo-123"), "SISTEMA", "TRMVQKD");
  EXPECT_TRUE(connection.is_open());

  const Error e = FailureOf([&] { DbConnection().Open(connection_string_, "", "Segredo-456"); });
  EXPECT_EQ(e.number(), kDbConnectionFailed);
  EXPECT_NE(e.description().find("password authentication failed for user \"SISTEMA\""),
            std::string::npos)
      << e.description();
  EXPECT_EQ(e.description().find("Segredo"), std::string::npos) << e.description();
}

TEST_F(PgDriverTest, BadConnectionKeysAreConnectionFailures) {
  // Refused before libpq sees it, by its place: a key may be a password's tail.
  const std::string unknown = FailureOf([&] { Open(Connection(";Frobnicate=1")); }).description();
  EXPECT_NE(unknown.find("has an unknown key"), std::string::npos) << unknown;
  EXPECT_EQ(unknown.find("robnicate"), std::string::npos) << unknown;
  EXPECT_AUTOMATION_ERROR(Open(Connection(";Statement Timeout=1 -c work_mem=1")),
                          kDbConnectionFailed);
  EXPECT_AUTOMATION_ERROR(Open("postgresql://SISTEMA:TRMVQKD@/zebevi?nada=%zz"),
                          kDbConnectionFailed);
}

TEST_F(PgDriverTest, CallsArePreparedOncePerFunctionAndArgumentTypes) {
  // A session of its own, so that no other test's calls are counted.
  DbConnectionRef connection = Open(Connection(";Pooling=false"));
  auto prepared = [&] {
    return First(*connection, "SELECT count(*)::int FROM pg_prepared_statements");
  };
  for (const char* command : {"EXEC SP_ZEB_CON_Tempo_km_Rota 7", "exec sp_zeb_con_tempo_km_rota 8",
                              "EXEC SP_ZEB_CON_Tempo_km_Rota 7"}) {
    EXPECT_EQ(connection->session().Execute(command).rows.size(), 1u) << command;
  }
  EXPECT_EQ(prepared(), Value::Int32(1));
  EXPECT_TRUE(connection->session().Execute("EXEC SP_ZEB_CON_Tempo_km_Rota NULL").rows.empty());
  EXPECT_TRUE(connection->session().Execute("EXEC SP_ZEB_CON_Tempo_km_Rota 7.5").rows.empty());
  EXPECT_EQ(prepared(), Value::Int32(3)) << "bigint, untyped and numeric are three statements";
  EXPECT_AUTOMATION_ERROR(connection->session().Execute("EXEC SP_ZEB_Nao_Existe 1"),
                          kDbCommandFailed);
  EXPECT_EQ(prepared(), Value::Int32(3)) << "a call that does not prepare leaves nothing";

  // A plain command that drops them all does not break the next call.
  connection->session().Execute("DEALLOCATE ALL");
  EXPECT_EQ(connection->session().Execute("EXEC SP_ZEB_CON_Tempo_km_Rota 7").rows.size(), 1u);
  EXPECT_EQ(prepared(), Value::Int32(1));
}

TEST_F(PgDriverTest, AFunctionReplacedUnderAPreparedCallIsPreparedAgain) {
  const std::string name = "zebevi_test_replaced_" + std::to_string(::getpid());
  DbConnectionRef other = Open(Connection(";Pooling=false"));
  auto define = [&](const std::string& returns, const std::string& body) {
    other->session().Execute("DROP FUNCTION IF EXISTS " + name + "(numeric)");
    other->session().Execute("CREATE FUNCTION " + name +
                             "(p numeric DEFAULT NULL) RETURNS TABLE (" + returns +
                             ") LANGUAGE sql AS $$ " + body + " $$");
  };
  define("a integer", "SELECT p::integer + 1");
  DbConnectionRef connection = Open(Connection(";Pooling=false"));
  const std::string call = "EXEC " + name + " 41";
  EXPECT_EQ(connection->session().Execute(call).rows.at(0).at(0), Value::Int32(42));
  define("a integer", "SELECT p::integer + 2");
  EXPECT_EQ(connection->session().Execute(call).rows.at(0).at(0), Value::Int32(43));
  define("a text, b integer", "SELECT 'x', p::integer");
  const db::Table table = connection->session().Execute(call);
  EXPECT_EQ(table.columns, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(table.rows.at(0).at(1), Value::Int32(41));
  other->session().Execute("DROP FUNCTION " + name + "(numeric)");
  EXPECT_AUTOMATION_ERROR(connection->session().Execute(call), kDbCommandFailed);
}

}  // namespace
}  // namespace zebevi
