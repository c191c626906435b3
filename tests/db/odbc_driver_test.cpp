// The ODBC driver: its connection strings, through psqlODBC what only it does (bound
// arguments, long texts, quoted passwords), and a TDS server that never answers, trapped in
// time.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <variant>
#include <vector>

#include "db/db_support.h"
#include "db/odbc/odbc_conninfo.h"
#include "support/operation_calls.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using namespace ::zebevi::testing;  // the server helpers

db::OdbcConnectParams ParamsOf(std::string_view text) {
  return db::OdbcConnectParamsOf(db::ConnectionString::Parse(text));
}

TEST(OdbcConnectionString, KeysReachTheDriverQuotedAsOdbcRequires) {
  for (const auto& [given, sent] : std::vector<std::pair<std::string_view, std::string_view>>{
           {"Driver={PostgreSQL Unicode};Server=/run/pg;Port=5432;Database=frete;UID=u;PWD=p",
            "DRIVER=PostgreSQL Unicode;SERVER=/run/pg;port=5432;DATABASE=frete;UID=u;PWD=p"},
           {"Provider=ODBC;DSN=frete;User ID=u;Password=\"a;b}c\";Pooling=false;Max Pool Size=2",
            "DSN=frete;UID=u;PWD={a;b}}c}"},
           {"Driver=FreeTDS;Host=db;Initial Catalog=frete;TDS_Version=7.4;ClientCharset=UTF-8",
            "DRIVER=FreeTDS;SERVER=db;DATABASE=frete;tds_version=7.4;clientcharset=UTF-8"},
           {"Driver={a}}b};pqopt={application_name=x};Options=' -c x'",
            "DRIVER={a}}b};pqopt={application_name=x};options={ -c x}"}}) {
    EXPECT_EQ(ParamsOf(given).text, sent) << given;
  }
}

TEST(OdbcConnectionString, TimeoutsHaveDefaultsAndStayOurs) {
  EXPECT_EQ(ParamsOf("Driver=x").login_timeout, std::chrono::seconds(15));
  EXPECT_EQ(ParamsOf("Driver=x").query_timeout, std::chrono::seconds(30));
  const db::OdbcConnectParams given =
      ParamsOf("Driver=x;Login Timeout=3;Query Timeout=0;PWD={p}}w}");
  EXPECT_EQ(given.text, "DRIVER=x;PWD={p}}w}");
  EXPECT_EQ(given.login_timeout, std::chrono::seconds(3));
  EXPECT_EQ(given.query_timeout, std::chrono::seconds(0));
  EXPECT_EQ(given.password, "p}w");
  for (const char* bad : {"Driver=x;Query Timeout=1s", "Driver=x;PWD={a}b}"}) {
    const Error e = FailureOf([&] { ParamsOf(bad); });
    EXPECT_EQ(e.number(), kDbConnectionFailed) << bad;
    EXPECT_EQ(e.description().find("b}"), std::string::npos) << e.description();
  }
}

using OdbcDriverTest = OdbcTest;

TEST_F(OdbcDriverTest, LongTextsBytesAndBoundArguments) {
  std::string long_text;
  for (int i = 0; i < 3000; ++i) long_text += "ação";
  const std::vector<std::pair<std::string, Value>> calls = {
      {"SELECT repeat('ação', 3000)", Value::String(long_text)},
      {"SELECT '\\x00ff41'::bytea", Value::String(std::string("\0\xff\x41", 3))},
      {"EXEC int8inc 9007199254740993", Value::Double(9007199254740994.0)},
      {"EXEC quote_literal 0.1", Value::String("'0.1'")},
      {"EXEC textcat 'a''b ç𝄞', '|'", Value::String("a'b ç𝄞|")},
      {"EXEC textcat '$1 ?', '{fn now()}'", Value::String("$1 ?{fn now()}")},
  };
  for (const auto& [command, answer] : calls) EXPECT_EQ(One(command), answer) << command;
  EXPECT_AUTOMATION_ERROR(One("EXEC textcat 'a\xff', ''"), kDbCommandFailed);
  EXPECT_AUTOMATION_ERROR(One(std::string("EXEC textcat 'a") + '\0' + "b', ''"), kDbCommandFailed);
}

TEST_F(OdbcDriverTest, PasswordsAreQuotedAndNeverShown) {
  const Error no_driver =
      FailureOf([] { DbConnection().Open("Driver={Nenhum};Server=x;PWD=Segredo-789"); });
  EXPECT_EQ(no_driver.number(), kDbConnectionFailed);
  EXPECT_EQ(no_driver.description().find("Segredo"), std::string::npos) << no_driver.description();
  // A password that ODBC must quote (scripts/pg-test-server's role).
  EXPECT_EQ(First(*Open(Connection(";UID=zebevi_quoting;PWD=\"a;b}c={d\"")), "SELECT current_user"),
            Value::String("zebevi_quoting"));
}

// A server that accepts the connection and never answers.
TEST(OdbcTds, AServerThatDoesNotAnswerEndsInTheTrapWithinTheLoginTimeout) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(::listen(fd, 8), 0);
  ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size), 0);
  const auto start = std::chrono::steady_clock::now();
  const OperationCall call(
      "gConsulta_Espelho_Viagem",
      {{"invntUsuario_Internet_id", Value::Int32(1)},
       {"invntDOCTO_TRANSPORTE_ID", Value::Int32(1)}},
      "Driver=FreeTDS;Server=127.0.0.1;Port=" + std::to_string(ntohs(address.sin_port)) +
          ";Database=frete;TDS_Version=7.4;ClientCharset=UTF-8;Login Timeout=2");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  ::close(fd);
  EXPECT_EQ(call.result, Value::Int16(50));
  const std::string message = ToString(std::get<Value>(call.args.back()));
  EXPECT_NE(message.find("cannot connect through ODBC: "), std::string::npos) << message;
  EXPECT_NE(message.find(" : " + std::to_string(kDbConnectionFailed) + ")"), std::string::npos)
      << message;
  // The trip summary connects as SISTEMA with its own password.
  EXPECT_EQ(message.find("TRMVQKD"), std::string::npos) << message;
}

}  // namespace
}  // namespace zebevi
