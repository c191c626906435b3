// Every procedure gives the same columns and rows in the same order on every engine, for every
// document and for arguments the operations never send.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/session.h"
#include "support/engines.h"
#include "zebevi/db.h"

namespace zebevi {
namespace {

using testing::Engine;
using testing::ReferenceOn;

class EnginesAgreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
    for (Engine engine : testing::AllEngines()) {
      connections_.push_back(std::make_shared<DbConnection>());
      connections_.back()->Open(ReferenceOn(engine).connection_string);
    }
  }

  // Expects the same answer everywhere and returns SQLite's.
  db::Table Agree(const std::string& command) {
    const db::Table expected = connections_[0]->session().Execute(command);
    for (std::size_t i = 1; i < connections_.size(); ++i) {
      const db::Table actual = connections_[i]->session().Execute(command);
      EXPECT_EQ(actual.columns, expected.columns) << command;
      EXPECT_EQ(actual.rows, expected.rows) << command;
    }
    ++compared_;
    return expected;
  }

  const schema::GeneratorSummary& s_ = ReferenceOn(Engine::kSqlite).summary;
  std::vector<DbConnectionRef> connections_;  // SQLite first
  int compared_ = 0;
};

std::string Number(const Value& v) { return v.is_null() ? "NULL" : std::to_string(ToInt32(v)); }

TEST_F(EnginesAgreeTest, TripQueriesOfEveryDocumentAndOddArguments) {
  const std::vector<std::string> trip = {
      "SP_ZEB_CON_Dados_Doc_Viagem11", "SP_ZEB_CON_NOTA_FISCAL_DOCTO3",
      "SP_ZEB_CON_TRACKING_CICLO5", "SP_ZEB_CON_TRACK_CICLO_CLI5"};
  for (std::int64_t id = 0; id <= testing::kReferenceDocuments + 1; ++id) {
    const std::string doc = std::to_string(id);
    const db::Table exchange = Agree("EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   " + doc);
    // As the exchange lookup reads it: the parent, and the flag.
    const bool exchanged = !exchange.rows.empty() && exchange.rows[0][0] == Value::Int32(0);
    const std::string parent = exchanged ? Number(exchange.rows[0][1]) : doc;
    for (const std::string flag : {"S", "N"}) {
      for (const std::string& procedure : trip) {
        const db::Table rows =
            Agree("exec " + procedure + " " + doc + ", " + parent + ", '" + flag + "' ");
        if (procedure == trip[0] && !rows.rows.empty())
          Agree("Exec SP_ZEB_CON_Tempo_km_Rota  " + Number(rows.rows[0][14]));
      }
      Agree("Exec SP_ZEB_CON_Resumo_Ciclo2 " + doc + ", '" + flag + "'");
    }
  }
  EXPECT_GT(compared_, 1000);
  const std::string doc = std::to_string(s_.exchanged_document_id);
  for (const std::string& args : {doc + ".0, " + std::to_string(s_.exchange_parent_id) + ", 'S'",
                                  doc + ".5, 0, 'S'", doc + ", NULL, 's'", doc}) {
    for (const std::string& procedure : trip) Agree("Exec " + procedure + " " + args);
  }
  for (const std::string route : {"7.25", "NULL", "99999999999", ""}) {
    Agree("Exec SP_ZEB_CON_Tempo_km_Rota  " + route);
  }
}

TEST_F(EnginesAgreeTest, DocumentAndPublishedOrderLookups) {
  const std::string order = "'" + s_.multi_document_order + "'";
  const std::string company = std::to_string(s_.multi_document_order_company_id);
  const std::string call = "EXEC SP_ZEB_CON_Docto_Transporte_ID6 ";
  EXPECT_EQ(
      std::ssize(Agree(call + order + ", NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL ").rows),
      s_.multi_document_order_documents);
  for (const std::string& rest : std::vector<std::string>{
           ", NULL, NULL, " + company + ", NULL, NULL, NULL, NULL, NULL ",
           ", '', 0, 0, 0, 0, 0, 0, 0 ", ", NULL, NULL, 0, 0, 0, 0, 2, 1 ",
           ", NULL, NULL, 0, 0, 1, 0, 0, 0 ", ", NULL, NULL, 0.5, 0, 0, 0, 0, 0 "}) {
    Agree(call + order + rest);
    Agree(call + "NULL" + rest);
  }

  const std::string& cgc = s_.consignee_cgc;
  const std::string punctuated = cgc.substr(0, 2) + "." + cgc.substr(2, 3) + "." +
                                 cgc.substr(5, 3) + "/" + cgc.substr(8, 4) + "-" + cgc.substr(12);
  // A day after the order's first issue and one before its last: a bound one day too wide shows.
  const db::Table span = connections_[0]->session().Execute(
      "SELECT date(min(d.data_emissao), '+1 day'), date(max(d.data_emissao), '-1 day') FROM "
      "docto_transporte d JOIN pedido p ON p.pedido_id = d.pedido_id WHERE p.num_pedido = " +
      order + " AND p.empresa_id = " + company);
  const std::string range = "'" + ToString(span.rows.at(0).at(0)) + "', '" +
                            ToString(span.rows.at(0).at(1)) + "', NULL, NULL";
  for (const std::string& tail : std::vector<std::string>{
           range, "NULL, NULL, NULL, NULL", "'2024-02-30', NULL, NULL, NULL",
           "'2025-06-01 10:00:00', NULL, NULL, NULL", "NULL, NULL, '" + punctuated + "', NULL",
           "NULL, NULL, NULL, '123.456.789-00'", "NULL, NULL, '', ''"}) {
    for (const std::string& who :
         {"'" + company + "'", std::string("' 1x'"), std::string("NULL")}) {
      Agree("EXEC SP_ZEB_CONS_pedido_PUBL " + who + ", null, " + order + ", " + tail + " ");
    }
    Agree("EXEC SP_ZEB_CONS_pedido_PUBL NULL, null, 'NAO-EXISTE', " + tail + " ");
  }
}

}  // namespace
}  // namespace zebevi
