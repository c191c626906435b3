// The same call answers the same on every engine (ODBC included, through
// psqlODBC on the PostgreSQL test server): every parameter and the result,
// in process and through the real executable's `trip --json`.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

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

// The executable opens its own connection: its trip answer is the same too.
TEST_F(TripEnginesAgree, TheExecutablesTripIsTheSame) {
  const schema::GeneratorSummary& s = ReferenceOn(Engine::kSqlite).summary;
  for (std::int64_t document : {s.exchanged_document_id, s.document_without_route_id,
                                s.document_without_cycle_id, s.document_without_arrival_id}) {
    const auto trip = [&](Engine engine) {
      const CommandResult run = RunZebevi({"trip", std::to_string(document), "--json", "--db",
                                           ReferenceOn(engine).connection_string});
      EXPECT_EQ(run.status, 0) << run.err;
      return Json::parse(run.out, nullptr, false);
    };
    const Json expected = trip(Engine::kSqlite);
    EXPECT_FALSE(expected["header"].empty()) << document;
    for (Engine engine : ServerEngines()) {
      EXPECT_EQ(trip(engine), expected) << EngineName(engine) << " " << document;
    }
  }
}

}  // namespace
}  // namespace zebevi::testing
