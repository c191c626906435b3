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
#include "zebevi/dispatch.h"

namespace zebevi {
namespace {

using ::zebevi::testing::Engine;
using ::zebevi::testing::Inputs;
using ::zebevi::testing::ReferenceOn;

constexpr int kShards = 2;

std::string ShardedConnection() {
  const char* text = std::getenv("ZEBEVI_PG_SHARDED_CONNECTION");
  return text == nullptr ? std::string() : std::string(text);
}

// Every document of the data set with the numbers a user types to find it:
// its own number, its order's and its first invoice's, and its company.
db::Table TypedNumbers(const std::string& connection_string) {
  DbConnection connection;
  connection.Open(connection_string);
  return connection.session().Execute(
      "SELECT d.docto_transporte_id, d.num_docto_transporte, p.num_pedido, d.empresa_id, "
      "(SELECT min(n.num_nota_fiscal) FROM nota_fiscal n "
      "WHERE n.docto_transporte_id = d.docto_transporte_id) "
      "FROM docto_transporte d JOIN pedido p ON p.pedido_id = d.pedido_id ORDER BY 1");
}

// The trip summary and the three lookups of one document.
void AddDocumentCalls(const std::vector<Value>& row,
                      std::vector<std::pair<std::string, Inputs>>& calls) {
  const Value user = Value::Int32(1);
  calls.push_back({"gConsulta_Espelho_Viagem",
                   {{"invntUsuario_Internet_id", user}, {"invntDOCTO_TRANSPORTE_ID", row[0]}}});
  const std::pair<const char*, std::size_t> typed_numbers[] = {
      {"invntNum_Docto_Transporte", 1}, {"invntNum_Pedido", 2}, {"invntNota_Fiscal", 4}};
  for (const auto& [parameter, column] : typed_numbers) {
    calls.push_back(
        {"gValida_Num_Documento", {{"invntUsuario_Internet_id", user}, {parameter, row[column]}}});
  }
  calls.push_back({"gValida_Num_Pedido_Publ",
                   {{"invntUsuario_Internet_id", user},
                    {"invntempresa_Id", row[3]},
                    {"invntNum_Pedido", row[2]}}});
}

class OperationsOnShards : public ::testing::Test {
 protected:
  void SetUp() override {
    ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
    if (ShardedConnection().empty()) {
      const char* why = "ZEBEVI_PG_SHARDED_CONNECTION is not set: see scripts/pg-test-server";
      if (testing::InCi()) FAIL() << why;
      GTEST_SKIP() << why;
    }
  }
};

TEST_F(OperationsOnShards, AnswerAsOneDatabase) {
  const std::string& single = ReferenceOn(Engine::kPostgres).connection_string;
  const std::string sharded = ShardedConnection();
  auto calls = testing::Calls(ReferenceOn(Engine::kSqlite).summary);

  schema::TripKeys keys;
  schema::GeneratorOptions options;
  options.documents = testing::kReferenceDocuments;
  options.seed = testing::kReferenceSeed;
  schema::ProduceDataSet(keys, options);
  std::set<int> shards_sampled;
  const db::Table numbers = TypedNumbers(single);
  ASSERT_EQ(static_cast<std::int64_t>(numbers.rows.size()), testing::kReferenceDocuments);
  for (std::size_t i = 0; i < numbers.rows.size(); i += 3) {
    AddDocumentCalls(numbers.rows[i], calls);
    shards_sampled.insert(schema::ShardOf(keys.KeyOf(ToInt32(numbers.rows[i][0])), kShards));
  }
  EXPECT_EQ(shards_sampled.size(), static_cast<std::size_t>(kShards)) << "both shards are sampled";

  testing::ExpectSameAnswers(calls, single, sharded);
}

}  // namespace
}  // namespace zebevi
