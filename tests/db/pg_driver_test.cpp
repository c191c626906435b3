// What libpq and psqlODBC share runs on both; typed parameters, prepared calls and the keys of
// connection strings are libpq's.
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "db/connection_string.h"
#include "db/pg_support.h"
#include "db/postgres/pg_conninfo.h"
#include "support/password_text.h"
#include "zebevi/date.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using namespace ::zebevi::testing;  // the server and password helpers

Value DateOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return Value::Date(DaysFromParts({year, month, day, hour, minute, second}));
}

class ServerDriver : public ServerEngineTest {
 protected:
  void SetUp() override {
    ServerEngineTest::SetUp();
    if (!IsSkipped() && !HasFatalFailure()) connection_ = Open(Connection());
  }
  db::Table Run(std::string_view command) { return connection_->session().Execute(command); }
  DbConnectionRef connection_;
};

TEST_P(ServerDriver, ServerTypesMapToValueKinds) {
  const std::pair<const char*, Value> columns[] = {
      {"1::int2", Value::Int32(1)},
      {"-2::int4", Value::Int32(-2)},
      {"3::int8", Value::Int32(3)},
      {"5000000000::int8", Value::Double(5000000000.0)},
      {"12.00::numeric", Value::Int32(12)},
      {"12.5::numeric", Value::Double(12.5)},
      {"1.5::float4", Value::Double(1.5)},
      {"2.25::float8", Value::Double(2.25)},
      {"'z'::char(3)", Value::String("z  ")},
      {"DATE '2024-03-05'", DateOf(2024, 3, 5)},
      {"TIMESTAMP '2024-03-05 14:30:15'", DateOf(2024, 3, 5, 14, 30, 15)},
      {"TIMESTAMP '2024-03-05 00:00:00.5'",
       Value::Date(DaysFromParts({2024, 3, 5, 0, 0, 0}) + 0.5 / 86400)},
      {"'Produção ✓ 𝄞'", Value::String("Produção ✓ 𝄞")},
      {"NULL::date", Value::Null()},
  };
  for (const auto& [expression, value] : columns) {
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
           {"EXEC SP_ZEB_CON_Tempo_km_Rota NULL", 0},
           {"EXEC SP_ZEB_CON_Tempo_km_Rota", 0},
           {"EXEC SP_ZEB_CON_Docto_Transporte_ID6 '1'' OR ''1''=''1'", 0},
           {"SET application_name = 'x'", 0}}) {
    EXPECT_EQ(Run(command).rows.size(), rows) << command;
  }
  // What is not a literal never reaches the server.
  EXPECT_AUTOMATION_ERROR(Run("EXEC SP_ZEB_CON_Tempo_km_Rota 7; DROP TABLE rota"),
                          kDbCommandFailed);
  for (const auto& [command, says] : std::vector<std::pair<const char*, const char*>>{
           {"EXEC SP_ZEB_Nao_Existe 1, 'a'", "procedure SP_ZEB_Nao_Existe: "},
           {"SELECT * FROM tabela_nenhuma", "relation \"tabela_nenhuma\" does not exist"}}) {
    const Error e = FailureOf([&] { Run(command); });
    EXPECT_EQ(e.number(), kDbCommandFailed);
    EXPECT_NE(e.description().find(says), std::string::npos) << e.description();
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
  EXPECT_EQ(e.number(), kDbConnectionFailed);
  EXPECT_NE(e.description().find("password authentication failed for user \"SISTEMA\""),
            std::string::npos)
      << e.description();
  EXPECT_EQ(e.description().find("Segredo"), std::string::npos) << e.description();
}

ZEBEVI_INSTANTIATE_ON_SERVER_ENGINES(ServerDriver);

using PgDriverTest = PgTest;

TEST_F(PgDriverTest, SessionsTalkUtf8AndIsoDatesWhateverTheStringAsks) {
  DbConnectionRef connection = Open(Connection(
      ";client_encoding=LATIN1;options=-c DateStyle=SQL,DMY -c TimeZone=America/Sao_Paulo"));
  const std::pair<const char*, Value> answers[] = {
      {"SHOW client_encoding", Value::String("UTF8")},
      {"SHOW DateStyle", Value::String("ISO, YMD")},
      {"SELECT length('Informações')", Value::Int32(11)},
      // timestamptz is read as the session's zone shows it.
      {"SELECT TIMESTAMPTZ '2024-03-05 14:30:15+00'", DateOf(2024, 3, 5, 11, 30, 15)},
      {"SELECT true", Value::Boolean(true)},
      {"SELECT '{1,2}'::int[]", Value::String("{1,2}")},
      {"SELECT DATE 'infinity'", Value::String("infinity")},
  };
  for (const auto& [command, value] : answers) {
    EXPECT_EQ(First(*connection, command), value) << command;
  }
  EXPECT_EQ(First(*connection, "SELECT 'NaN'::float8").kind(), Kind::kDouble);
}

TEST_F(PgDriverTest, ArgumentsTravelAsTypedParameters) {
  DbConnectionRef connection = Open(Connection());
  const std::pair<const char*, Value> calls[] = {
      {"EXEC pg_typeof 5", Value::String("bigint")},
      {"EXEC pg_typeof 2.5", Value::String("numeric")},
      {"EXEC pg_typeof 'texto'", Value::String("text")},
      {"EXEC concat_ws '|', 'a''b', 42, -1.5, 1e3, 'ç'", Value::String("a'b|42|-1.5|1000|ç")},
      // NULL takes the type of the function's parameter.
      {"EXEC concat_ws NULL, 'a'", Value::Null()},
  };
  for (const auto& [command, first] : calls) {
    EXPECT_EQ(First(*connection, command), first) << command;
  }
  for (const char* bad :
       {"EXEC pg_sleep(1)", "EXEC SP_ZEB_CON_Tempo_km_Rota 7, 8", "SELECT 1; SELECT 2", "   "}) {
    EXPECT_AUTOMATION_ERROR(First(*connection, bad), kDbCommandFailed);
  }
  EXPECT_EQ(FailureOf([&] { First(*connection, "EXEC SP_ZEB_Nao_Existe 1, 'a'"); }).description(),
            "procedure SP_ZEB_Nao_Existe: function sp_zeb_nao_existe(bigint, text) does not exist");
}

TEST_F(PgDriverTest, EveryFormOfConnectionStringConnectsAndBadKeysFail) {
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
    EXPECT_EQ(First(*connection, "SELECT current_setting('application_name') || current_user"),
              Value::String("pela-uriSISTEMA"))
        << db::ConnectionString::Parse(text).Masked();
  }
  // Unknown keys: PgConnectionKeys below.
  EXPECT_AUTOMATION_ERROR(Open(Connection(";Frobnicate=1")), kDbConnectionFailed);
  EXPECT_AUTOMATION_ERROR(Open(Connection(";Statement Timeout=1 -c work_mem=1")),
                          kDbConnectionFailed);
  EXPECT_AUTOMATION_ERROR(Open("postgresql://SISTEMA:TRMVQKD@/zebevi?nada=%zz"),
                          kDbConnectionFailed);
}

TEST_F(PgDriverTest, CallsArePreparedOncePerFunctionAndArgumentTypes) {
  // A session of its own, so that no other test's calls are counted.
  DbConnectionRef connection = Open(Connection(";Pooling=false"));
  const auto prepared_after = [&](const char* command) {
    try {
      connection->session().Execute(command);
    } catch (const Error&) {
    }
    return First(*connection, "SELECT count(*)::int FROM pg_prepared_statements").int32();
  };
  const std::pair<const char*, int> calls[] = {
      {"EXEC SP_ZEB_CON_Tempo_km_Rota 7", 1},
      {"exec sp_zeb_con_tempo_km_rota 8", 1},
      // bigint, untyped and numeric are three statements.
      {"EXEC SP_ZEB_CON_Tempo_km_Rota NULL", 2},
      {"EXEC SP_ZEB_CON_Tempo_km_Rota 7.5", 3},
      {"EXEC SP_ZEB_Nao_Existe 1", 3},
      // A plain command that drops them all does not break the next call.
      {"DEALLOCATE ALL", 0},
      {"EXEC SP_ZEB_CON_Tempo_km_Rota 7", 1},
  };
  for (const auto& [command, prepared] : calls) {
    EXPECT_EQ(prepared_after(command), prepared) << command;
  }
  EXPECT_EQ(connection->session().Execute("EXEC SP_ZEB_CON_Tempo_km_Rota 7").rows.size(), 1u);
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

// Passwords of password bytes and of every separator the forms know, each
// written in every form a connection string knows: any password byte found
// in a message or the mask is a leak.
TEST(PgConnectionKeys, NoByteOfAPasswordReachesAMessageOrTheMask) {
  const std::string base = "Provider=PostgreSQL;Host=/tmp/none;Port=5432;Database=zebevi";
  const std::string uri = "/zebevi?host=/tmp/none&port=5432";
  std::mt19937 random{11};
  for (int round = 0; round < 3000; ++round) {
    std::string password(1 + random() % 12, ' ');
    for (char& c : password) {
      c = random() % 2 ? PasswordByte(random())
                       : kPasswordSeparators[random() % kPasswordSeparators.size()];
    }
    const std::string encoded = PercentEncoded(password);
    for (const std::string& text : {
             base + ";Password=" + password,
             base + ";PWD=" + password + ";Application Name=x",
             base + ";Password='" + Doubled(password, '\'') + "'",
             base + ";sslpassword=\"" + Doubled(password, '"') + "\"",
             "postgresql://SISTEMA:" + encoded + "@" + uri,
             "postgresql://" + uri + "&password=" + encoded,
             "postgresql://" + uri + "&%70assword=" + encoded,
             "postgresql://" + uri + "&PASSWORD=" + encoded,
             base + ";URI=\"password='" + Doubled(BackslashEscaped(password), '"') + "'\"",
         }) {
      std::string said;
      try {
        // Masked shows keys as parsed, so only a string the engine accepts
        // (no password tail taken for a key) is bound to hide it all.
        const db::ConnectionString parsed = db::ConnectionString::Parse(text);
        db::PgConnectParamsOf(parsed);
        said = parsed.Masked();
      } catch (const Error& e) {
        said = e.description();
      }
      ASSERT_FALSE(HasPasswordByte(said) || said.find(encoded) != std::string::npos) << said;
    }
  }
}

TEST(PgConnectionKeys, UnknownKeysAreRefusedByTheirItemOnly) {
  for (const auto& [text, says] : std::vector<std::pair<const char*, const char*>>{
           {"Provider=PostgreSQL;Host=h;Password=Tr0ub4dor;3xtra=pw", "item 4 has an unknown key"},
           {"Provider=PostgreSQL;Frobnicate=1", "item 2 has an unknown key"},
           {"Provider=PostgreSQL;ssl password=x", "item 2 has an unknown key"}}) {
    const Error failure =
        FailureOf([&] { db::PgConnectParamsOf(db::ConnectionString::Parse(text)); });
    EXPECT_EQ(failure.number(), kDbConnectionFailed) << text;
    EXPECT_EQ(failure.description(), std::string("connection string ") + says) << text;
  }
  // Ours, libpq's and the pool's keys all pass.
  EXPECT_NO_THROW(db::PgConnectParamsOf(db::ConnectionString::Parse(
      "Provider=PostgreSQL;Server=h;Initial Catalog=d;UID=u;PWD=p;Connect Timeout=3;"
      "Statement Timeout=5;Max Pool Size=2;sslmode=disable;Application Name=x;passfile=/p")));
}

using PgSessionTimeout = PgTest;

TEST_F(PgSessionTimeout, EverySessionHasAStatementTimeoutUnlessTold) {
  for (const auto& [extra, setting] : std::vector<std::pair<const char*, const char*>>{
           {"", "30s"},
           {";Statement Timeout=0", "0"},
           {";Statement Timeout=1500", "1500ms"},
           {";options=-c statement_timeout=5000", "5s"},
           {";options=-c statement_timeout=5000;Statement Timeout=7000", "7s"}}) {
    DbConnectionRef connection = Open(Connection(std::string(";Pooling=false") + extra));
    EXPECT_EQ(First(*connection, "SHOW statement_timeout"), Value::String(setting)) << extra;
  }
}

}  // namespace
}  // namespace zebevi
