#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "db/connection_string.h"
#include "db/pg_support.h"
#include "db/postgres/pg_conninfo.h"
#include "support/password_text.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using namespace ::zebevi::testing;  // NOLINT: the server and password helpers

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
