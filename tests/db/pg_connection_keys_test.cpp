#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "db/connection_string.h"
#include "db/pg_support.h"
#include "db/postgres/pg_conninfo.h"
#include "support/password_text.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using ::zebevi::testing::BackslashEscaped;
using ::zebevi::testing::Doubled;
using ::zebevi::testing::FailureOf;
using ::zebevi::testing::HasPasswordByte;
using ::zebevi::testing::kPasswordSeparators;
using ::zebevi::testing::PasswordByte;
using ::zebevi::testing::PercentEncoded;
using ::zebevi::testing::PgTest;

// Passwords of password bytes and of every separator the forms know, so
// that any password byte found in a text is a leak.
std::string NextPassword(std::mt19937& random) {
  std::string password(1 + random() % 12, ' ');
  for (char& c : password) {
    c = random() % 2 ? PasswordByte(random())
                     : kPasswordSeparators[random() % kPasswordSeparators.size()];
  }
  return password;
}

bool Leaks(std::string_view text, std::string_view password) {
  return HasPasswordByte(text) || text.find(PercentEncoded(password)) != std::string_view::npos;
}

// `base` (a keyword string naming host, port and database) with the
// password written in each form a connection string knows.
std::vector<std::string> Forms(const std::string& base, const std::string& uri_base,
                               const std::string& password) {
  const std::string encoded = PercentEncoded(password);
  return {
      base + ";Password=" + password,
      base + ";PWD=" + password + ";Application Name=x",
      base + ";Password='" + Doubled(password, '\'') + "'",
      base + ";sslpassword=\"" + Doubled(password, '"') + "\"",
      "postgresql://SISTEMA:" + encoded + "@" + uri_base,
      "postgresql://" + uri_base + "&password=" + encoded,
      "postgresql://" + uri_base + "&%70assword=" + encoded,
      "postgresql://" + uri_base + "&PASSWORD=" + encoded,
      base + ";URI=\"password='" + Doubled(BackslashEscaped(password), '"') + "'\"",
  };
}

TEST(PgConnectionKeys, NoByteOfAPasswordReachesAMessageOrTheMask) {
  const std::string base = "Provider=PostgreSQL;Host=/tmp/none;Port=5432;Database=zebevi";
  const std::string uri_base = "/zebevi?host=/tmp/none&port=5432";
  std::mt19937 random{11};
  for (int round = 0; round < 3000; ++round) {
    const std::string password = NextPassword(random);
    for (const std::string& text : Forms(base, uri_base, password)) {
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
      ASSERT_FALSE(Leaks(said, password)) << said;
    }
  }
}

TEST(PgConnectionKeys, UnknownKeysAreRefusedByTheirItemOnly) {
  struct Case {
    const char* text;
    const char* says;
  };
  for (const Case& c : {
           Case{"Provider=PostgreSQL;Host=h;Password=Tr0ub4dor;3xtra=pw",
                "item 4 has an unknown key"},
           Case{"Provider=PostgreSQL;Frobnicate=1", "item 2 has an unknown key"},
           Case{"Provider=PostgreSQL;ssl password=x", "item 2 has an unknown key"},
       }) {
    const Error failure =
        FailureOf([&] { db::PgConnectParamsOf(db::ConnectionString::Parse(c.text)); });
    EXPECT_EQ(failure.number(), kDbConnectionFailed) << c.text;
    EXPECT_EQ(failure.description(), std::string("connection string ") + c.says) << c.text;
  }
  // Ours, libpq's and the pool's keys all pass.
  EXPECT_NO_THROW(db::PgConnectParamsOf(db::ConnectionString::Parse(
      "Provider=PostgreSQL;Server=h;Initial Catalog=d;UID=u;PWD=p;Connect Timeout=3;"
      "Statement Timeout=5;Max Pool Size=2;sslmode=disable;Application Name=x;passfile=/p")));
}

using PgSessionTimeout = PgTest;

TEST_F(PgSessionTimeout, EverySessionHasAStatementTimeoutUnlessTold) {
  struct Case {
    const char* extra;
    const char* setting;
  };
  for (const Case& c :
       {Case{"", "30s"}, Case{";Statement Timeout=0", "0"},
        Case{";Statement Timeout=1500", "1500ms"}, Case{";options=-c statement_timeout=5000", "5s"},
        Case{";options=-c statement_timeout=5000;Statement Timeout=7000", "7s"}}) {
    DbConnectionRef connection = Open(Connection(std::string(";Pooling=false") + c.extra));
    EXPECT_EQ(First(*connection, "SHOW statement_timeout"), Value::String(c.setting)) << c.extra;
  }
}

}  // namespace
}  // namespace zebevi
