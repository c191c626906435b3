// The trip summary of the same document is the same on every engine (ODBC
// included, through psqlODBC on the PostgreSQL test server): every
// parameter gConsulta_Espelho_Viagem leaves and its result, in process and
// through the real executable's `trip --json` and `call`.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "support/engines.h"
#include "trip_fixture.h"
#include "zebevi/dispatch.h"

namespace zebevi::testing {
namespace {

using Json = nlohmann::ordered_json;

// Documents of the reference data set with different traits, named.
std::vector<std::pair<std::string, std::int64_t>> TraitDocuments() {
  const schema::GeneratorSummary& s = ReferenceOn(Engine::kSqlite).summary;
  return {{"exchanged with a route", s.exchanged_document_id},
          {"plain", s.plain_document_id},
          {"without route", s.document_without_route_id},
          {"without cycle", s.document_without_cycle_id},
          {"without arrival times", s.document_without_arrival_id}};
}

// The same kind and content; lists element by element.
void ExpectSameValue(const Value& postgres, const Value& sqlite, std::string_view name) {
  if (postgres.kind() != Kind::kArray || sqlite.kind() != Kind::kArray) {
    EXPECT_EQ(postgres, sqlite) << name;
    return;
  }
  ASSERT_EQ(postgres.array().size(), sqlite.array().size()) << name;
  for (std::size_t i = 0; i < sqlite.array().size(); ++i) {
    EXPECT_EQ(postgres.array()[i], sqlite.array()[i]) << name << "[" << i << "]";
  }
}

// `object`'s member `key`, or a text saying it is missing.
Json Member(const Json& object, const std::string& key) {
  return object.contains(key) ? object.at(key) : Json("(missing)");
}

// Standard output of a successful run, as JSON.
Json Answer(const CommandResult& run) {
  EXPECT_EQ(run.status, 0) << run.err;
  return Json::parse(run.out, nullptr, false);
}

class TripEnginesAgree : public ::testing::Test {
 protected:
  void SetUp() override { ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres); }
};

TEST_F(TripEnginesAgree, EveryParameterAndTheResultAreTheSame) {
  const OperationInfo* op = FindOperation("gConsulta_Espelho_Viagem");
  ASSERT_NE(op, nullptr);
  for (const auto& [trait, document] : TraitDocuments()) {
    // The staff's view, then a customer's (another tracking procedure).
    for (const Value& customer : {Value(), Value::Int32(1)}) {
      SCOPED_TRACE(trait + " document " + std::to_string(document) +
                   (customer.is_empty() ? "" : ", a customer's view"));
      std::vector<SummaryCall> calls;
      for (Engine engine : AllEngines()) {
        calls.emplace_back(ReferenceOn(engine).connection_string,
                           Value::Int32(static_cast<std::int32_t>(document)));
        calls.back().cliente = customer;
        calls.back().Run();
      }
      const SummaryCall& sqlite = calls[0];
      EXPECT_EQ(sqlite.status, Value::Int16(0)) << ToString(sqlite.message);
      const std::vector<Value> expected = sqlite.parameters();
      ASSERT_EQ(expected.size(), op->params.size());
      for (std::size_t e = 1; e < calls.size(); ++e) {
        SCOPED_TRACE(EngineName(AllEngines()[e]));
        EXPECT_EQ(calls[e].status, sqlite.status) << ToString(calls[e].message);
        const std::vector<Value> actual = calls[e].parameters();
        // The connection strings differ by nature; everything else is data.
        for (std::size_t i = 1; i < expected.size(); ++i) {
          ExpectSameValue(actual[i], expected[i], op->params[i].name);
        }
      }
    }
  }
}

TEST_F(TripEnginesAgree, TheExecutablesTripAndCallAreTheSame) {
  for (const auto& [trait, document] : TraitDocuments()) {
    SCOPED_TRACE(trait + " document " + std::to_string(document));
    std::vector<Json> trips;
    std::vector<Json> calls;
    for (Engine engine : AllEngines()) {
      const std::string& connection = ReferenceOn(engine).connection_string;
      trips.push_back(
          Answer(RunZebevi({"trip", std::to_string(document), "--json", "--db", connection})));
      calls.push_back(Answer(RunZebevi(
          {"call", "gConsulta_Espelho_Viagem",
           Json{{"invntConecta_db", connection}, {"invntDOCTO_TRANSPORTE_ID", document}}.dump()})));
    }
    ASSERT_TRUE(trips[0].is_object() && calls[0].is_object());
    EXPECT_EQ(Member(trips[0], "status"), 0) << trips[0].dump();
    EXPECT_FALSE(Member(trips[0], "header").empty());
    const Json expected = Member(calls[0], "params");
    EXPECT_EQ(expected.size(), 47u);
    for (std::size_t e = 1; e < trips.size(); ++e) {
      SCOPED_TRACE(EngineName(AllEngines()[e]));
      ASSERT_TRUE(trips[e].is_object() && calls[e].is_object());
      EXPECT_EQ(trips[e].size(), trips[0].size());
      for (const auto& [block, shown] : trips[0].items()) {
        EXPECT_EQ(Member(trips[e], block), shown) << block;
      }
      EXPECT_EQ(Member(calls[e], "result"), Member(calls[0], "result"));
      const Json actual = Member(calls[e], "params");
      EXPECT_EQ(actual.size(), expected.size());
      for (const auto& [name, value] : expected.items()) {
        // The connection strings differ by nature; everything else is data.
        if (name != "invntConecta_db") {
          EXPECT_EQ(Member(actual, name), value) << name;
        }
      }
    }
  }
}

}  // namespace
}  // namespace zebevi::testing
