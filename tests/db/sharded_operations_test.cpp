// The operations on two shards behind their proxy answer as the single database.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "db/session.h"
#include "schema/dataset.h"
#include "schema/shard_placement.h"
#include "support/engines.h"
#include "support/operation_calls.h"
#include "zebevi/db.h"

namespace zebevi {
namespace {

using ::zebevi::testing::Engine;
using ::zebevi::testing::Inputs;
using ::zebevi::testing::ReferenceOn;

constexpr int kShards = 2;

// Every operation, then for every third document (of both shards) the trip
// summary and the lookups by the numbers a user types: its own, its
// order's, its first invoice's, and the published order in its company.
TEST(OperationsOnShards, AnswerAsOneDatabase) {
  ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
  const char* sharded = std::getenv("ZEBEVI_PG_SHARDED_CONNECTION");
  if (sharded == nullptr || *sharded == '\0') {
    const char* why = "ZEBEVI_PG_SHARDED_CONNECTION is not set: see scripts/pg-test-server";
    if (testing::InCi()) FAIL() << why;
    GTEST_SKIP() << why;
  }
  const std::string& single = ReferenceOn(Engine::kPostgres).connection_string;
  auto calls = testing::Calls(ReferenceOn(Engine::kSqlite).summary);
  schema::TripKeys keys;
  schema::ProduceDataSet(keys, {testing::kReferenceDocuments, testing::kReferenceSeed, {}});
  DbConnection connection;
  connection.Open(single);
  const db::Table numbers = connection.session().Execute(
      "SELECT d.docto_transporte_id, d.num_docto_transporte, p.num_pedido, d.empresa_id, "
      "(SELECT min(n.num_nota_fiscal) FROM nota_fiscal n WHERE n.docto_transporte_id = "
      "d.docto_transporte_id) FROM docto_transporte d JOIN pedido p ON p.pedido_id = d.pedido_id "
      "ORDER BY 1");
  ASSERT_EQ(std::ssize(numbers.rows), testing::kReferenceDocuments);
  std::set<int> shards_sampled;
  const Value user = Value::Int32(1);
  for (std::size_t i = 0; i < numbers.rows.size(); i += 3) {
    const std::vector<Value>& row = numbers.rows[i];
    shards_sampled.insert(schema::ShardOf(keys.KeyOf(ToInt32(row[0])), kShards));
    calls.push_back({"gConsulta_Espelho_Viagem",
                     {{"invntUsuario_Internet_id", user}, {"invntDOCTO_TRANSPORTE_ID", row[0]}}});
    for (const auto& [parameter, column] : {std::pair{"invntNum_Docto_Transporte", 1},
                                            {"invntNum_Pedido", 2},
                                            {"invntNota_Fiscal", 4}}) {
      calls.push_back({"gValida_Num_Documento",
                       {{"invntUsuario_Internet_id", user}, {parameter, row[column]}}});
    }
    calls.push_back({"gValida_Num_Pedido_Publ",
                     {{"invntUsuario_Internet_id", user},
                      {"invntempresa_Id", row[3]},
                      {"invntNum_Pedido", row[2]}}});
  }
  EXPECT_EQ(shards_sampled.size(), static_cast<std::size_t>(kShards)) << "both shards are sampled";
  testing::ExpectSameAnswers(calls, single, sharded);
}

}  // namespace
}  // namespace zebevi
