// The same call answers the same on every engine (ODBC included, through
// psqlODBC on the PostgreSQL test server): every parameter and the result,
// in process and through the real executable's `trip --json` and `call`.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/engines.h"
#include "support/operation_calls.h"
#include "support/test_support.h"

namespace zebevi::testing {
namespace {

using Json = nlohmann::ordered_json;

class TripEnginesAgree : public ::testing::Test {
 protected:
  void SetUp() override { ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres); }
};

TEST_F(TripEnginesAgree, EveryParameterAndTheResultAreTheSame) {
  for (Engine engine : ServerEngines()) {
    SCOPED_TRACE(EngineName(engine));
    ExpectSameAnswers(Calls(ReferenceOn(Engine::kSqlite).summary),
                      ReferenceOn(Engine::kSqlite).connection_string,
                      ReferenceOn(engine).connection_string);
  }
}

// Standard output of a successful run, as JSON.
Json Answer(const std::vector<std::string>& args) {
  const CommandResult run = RunZebevi(args);
  EXPECT_EQ(run.status, 0) << run.err;
  return Json::parse(run.out, nullptr, false);
}

TEST_F(TripEnginesAgree, TheExecutablesTripAndCallAreTheSame) {
  const schema::GeneratorSummary& s = ReferenceOn(Engine::kSqlite).summary;
  for (std::int64_t document :
       {s.exchanged_document_id, s.plain_document_id, s.document_without_route_id,
        s.document_without_cycle_id, s.document_without_arrival_id}) {
    SCOPED_TRACE("document " + std::to_string(document));
    const auto run = [&](Engine engine) {
      const std::string& connection = ReferenceOn(engine).connection_string;
      Json both{
          {"trip", Answer({"trip", std::to_string(document), "--json", "--db", connection})},
          {"call",
           Answer({"call", "gConsulta_Espelho_Viagem",
                   Json{{"invntConecta_db", connection}, {"invntDOCTO_TRANSPORTE_ID", document}}
                       .dump()})}};
      // The connection strings differ by nature; everything else is data.
      if (both["call"].contains("params")) both["call"]["params"].erase("invntConecta_db");
      return both;
    };
    Json expected = run(Engine::kSqlite);
    EXPECT_EQ(expected["trip"]["status"], 0) << expected.dump();
    EXPECT_FALSE(expected["trip"]["header"].empty());
    EXPECT_EQ(expected["call"]["params"].size(), 46u);
    for (Engine engine : ServerEngines()) {
      SCOPED_TRACE(EngineName(engine));
      Json actual = run(engine);
      for (const char* way : {"trip", "call"}) {
        for (const auto& [block, shown] : expected[way].items()) {
          EXPECT_EQ(actual[way][block], shown) << way << " " << block;
        }
        EXPECT_EQ(actual[way].size(), expected[way].size()) << way;
      }
    }
  }
}

}  // namespace
}  // namespace zebevi::testing
