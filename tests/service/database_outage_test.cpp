// A PostgreSQL server that goes away while the service runs, and comes back:
// 503 with Retry-After while it is gone, 200 again at once after, with no
// restart of the service. The server is a throwaway cluster of the test's
// own (scripts/pg-test-server), never the one the test command shares.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "service/service_process.h"
#include "support/engines.h"

namespace zebevi::testing {
namespace {

using Json = nlohmann::json;

// scripts/pg-test-server with `args`: its standard output, a test failure
// when it does not succeed.
std::string PgTestServer(const std::string& args) {
  const std::string command = ShellQuote(ZEBEVI_PG_TEST_SERVER) + " " + args;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string out;
  char chunk[4096];
  while (std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe.get())) out.append(chunk, got);
  EXPECT_EQ(::pclose(pipe.release()), 0) << command;
  return out;
}

// The value of `export NAME='VALUE'` in `lines`.
std::string Exported(const std::string& lines, const std::string& name) {
  const std::size_t at = lines.find("export " + name + "='");
  if (at == std::string::npos) return "";
  const std::size_t start = at + name.size() + 9;
  return lines.substr(start, lines.find('\'', start) - start);
}

TEST(DatabaseOutage, AnswersServiceUnavailableWhileTheDatabaseIsGoneAndRecovers) {
  ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
  const std::string lines = PgTestServer("start " + ShellQuote(ZEBEVI_PG_LOAD));
  const struct Own {
    std::string dir;
    ~Own() { PgTestServer("stop " + dir); }
  } own{ShellQuote(Exported(lines, "ZEBEVI_PG_DIR"))};
  const std::string& dir = own.dir;
  ASSERT_NE(dir, "''") << lines;
  ServiceProcess service(Json{{"db", Exported(lines, "ZEBEVI_PG_CONNECTION")}, {"threads", 2}},
                         {kInternalKey});
  ASSERT_TRUE(service.started());
  const std::string document =
      std::to_string(ReferenceOn(Engine::kPostgres).summary.plain_document_id);
  const auto trip = [&] {
    return Send(service.url("/v1/call/gConsulta_Espelho_Viagem"),
                Json{{"invntDOCTO_TRANSPORTE_ID", document}}.dump(), kInternalKey.text);
  };
  for (int i = 0; i < 3; ++i) ASSERT_EQ(trip().status, 200);

  PgTestServer("pause " + dir);
  for (int i = 0; i < 3; ++i) {
    const HttpReply gone = trip();
    EXPECT_EQ(gone.status, 503) << gone.body;
    EXPECT_EQ(gone.headers.count("retry-after"), 1u);
    EXPECT_EQ(Get(service.url("/readyz")).status, 503);
  }
  PgTestServer("resume " + dir);
  // Right after: not one answer from a connection the outage killed.
  for (int i = 0; i < 10; ++i) {
    const HttpReply back = trip();
    EXPECT_EQ(back.status, 200) << i << ": " << back.body;
  }
  EXPECT_EQ(Get(service.url("/readyz")).status, 200);
  const std::string metrics = Get(service.url("/metrics")).body;
  EXPECT_EQ(metrics.find("zebevi_db_errors_total 0"), std::string::npos) << metrics;
}

}  // namespace
}  // namespace zebevi::testing
