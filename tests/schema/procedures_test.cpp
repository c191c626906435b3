// The stored procedures of the reference database, called as the component
// calls them (the catalog body with the arguments bound in order), against
// the tables they read.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "schema/reference_fixture.h"
#include "schema/sqlite_reader.h"

namespace zebevi::schema::test {
namespace {

using Args = std::vector<Cell>;

std::vector<std::int64_t> Ids(const ResultSet& result, std::string_view column) {
  std::vector<std::int64_t> ids;
  for (std::size_t row = 0; row < result.rows.size(); ++row) {
    ids.push_back(result.integer(row, column));
  }
  return ids;
}

std::vector<std::int64_t> IdsOf(const SqliteReader& db, std::string_view sql, const Args& args) {
  return Ids(db.Query(sql, args), "id");
}

class Procedures : public ::testing::Test {
 protected:
  const Reference& reference_ = SharedReference();
  const GeneratorSummary& summary_ = reference_.summary;
  const SqliteReader& db_ = reference_.db;

  std::int64_t Parent() const { return summary_.exchange_parent_id; }
  std::int64_t Child() const { return summary_.exchanged_document_id; }
  std::int64_t Plain() const { return summary_.plain_document_id; }
};

TEST_F(Procedures, ExchangeListsTheChildrenFromEitherSide) {
  const std::vector<std::int64_t> children =
      IdsOf(db_,
            "SELECT docto_transp_filho_id AS id FROM troca_docto_transp "
            "WHERE docto_transp_pai_id = ?1 ORDER BY 1",
            {Parent()});
  ASSERT_GE(children.size(), 2u);
  const std::int64_t parent_number =
      db_.Count("SELECT num_docto_transporte FROM docto_transporte WHERE docto_transporte_id = ?1",
                {Parent()});
  for (const std::int64_t document : {Child(), Parent()}) {
    const ResultSet result = db_.Call("SP_ZEB_CON_TROCA_DOCTO_TRANSP", {document});
    EXPECT_EQ(Ids(result, "DOCTO_TRANSP_FILHO_ID"), children) << document;
    for (std::size_t row = 0; row < result.rows.size(); ++row) {
      EXPECT_EQ(result.integer(row, "retorno"), 0);
      EXPECT_EQ(result.integer(row, "DOCTO_TRANSP_PAI_ID"), Parent());
      EXPECT_EQ(result.integer(row, "num_docto_pai"), parent_number);
      EXPECT_EQ(result.integer(row, "num_docto_filho"),
                db_.Count("SELECT num_docto_transporte FROM docto_transporte "
                          "WHERE docto_transporte_id = ?1",
                          {children[row]}));
    }
  }
  const ResultSet plain = db_.Call("SP_ZEB_CON_TROCA_DOCTO_TRANSP", {Plain()});
  ASSERT_EQ(plain.rows.size(), 1u);
  EXPECT_NE(plain.integer(0, "retorno"), 0);
  EXPECT_TRUE(db_.Call("SP_ZEB_CON_TROCA_DOCTO_TRANSP", {std::int64_t{999999}}).rows.empty());
}

TEST_F(Procedures, ExchangeFlagMovesTheTripToTheParent) {
  const Args own = {Child(), Child(), "N"};
  const Args exchanged = {Child(), Parent(), "S"};
  const Args parent_own = {Parent(), Parent(), "N"};
  const ResultSet child_header = db_.Call("SP_ZEB_CON_Dados_Doc_Viagem11", exchanged);
  const ResultSet parent_header = db_.Call("SP_ZEB_CON_Dados_Doc_Viagem11", parent_own);
  const ResultSet own_header = db_.Call("SP_ZEB_CON_Dados_Doc_Viagem11", own);
  ASSERT_EQ(child_header.rows.size(), 1u);
  for (const char* trip_column : {"CAVALO", "PLACA_CAVALO", "nome", "rota_id",
                                  "Data_Chegada_Cliente_Efetiva", "flag_no_prazo"}) {
    EXPECT_EQ(child_header.at(0, trip_column), parent_header.at(0, trip_column)) << trip_column;
  }
  EXPECT_EQ(child_header.at(0, "num_docto_transporte"), own_header.at(0, "num_docto_transporte"));
  EXPECT_NE(child_header.at(0, "num_docto_transporte"),
            parent_header.at(0, "num_docto_transporte"));
  EXPECT_NE(child_header.integer(0, "rota_id"), 0);

  // A "parent" that is not the document's is ignored.
  const ResultSet bogus = db_.Call("SP_ZEB_CON_Dados_Doc_Viagem11", {Child(), Plain(), "S"});
  EXPECT_EQ(bogus.rows, own_header.rows);

  const std::int64_t exchange_invoices = db_.Count(
      "SELECT count(*) FROM nota_fiscal WHERE docto_transporte_id = ?1 OR docto_transporte_id IN "
      "(SELECT docto_transp_filho_id FROM troca_docto_transp WHERE docto_transp_pai_id = ?1)",
      {Parent()});
  const std::int64_t own_invoices =
      db_.Count("SELECT count(*) FROM nota_fiscal WHERE docto_transporte_id = ?1", {Child()});
  EXPECT_EQ(std::ssize(db_.Call("SP_ZEB_CON_NOTA_FISCAL_DOCTO3", exchanged).rows),
            exchange_invoices);
  EXPECT_EQ(std::ssize(db_.Call("SP_ZEB_CON_NOTA_FISCAL_DOCTO3", own).rows), own_invoices);

  EXPECT_EQ(db_.Call("SP_ZEB_CON_TRACKING_CICLO5", exchanged).rows,
            db_.Call("SP_ZEB_CON_TRACKING_CICLO5", parent_own).rows);
  EXPECT_EQ(db_.Call("SP_ZEB_CON_Resumo_Ciclo2", {Child(), "S"}).rows,
            db_.Call("SP_ZEB_CON_Resumo_Ciclo2", {Parent(), "N"}).rows);
  EXPECT_NE(db_.Call("SP_ZEB_CON_Resumo_Ciclo2", {Child(), "N"}).rows,
            db_.Call("SP_ZEB_CON_Resumo_Ciclo2", {Parent(), "N"}).rows);
}

TEST_F(Procedures, CustomersSeeOnlyTheirOccurrenceTypesInTimeOrder) {
  for (const auto& row : db_.Query("SELECT docto_transporte_id FROM docto_transporte").rows) {
    const std::int64_t document = std::get<std::int64_t>(row[0]);
    const ResultSet all = db_.Call("SP_ZEB_CON_TRACKING_CICLO5", {document, document, "N"});
    const ResultSet customer = db_.Call("SP_ZEB_CON_TRACK_CICLO_CLI5", {document, document, "N"});
    ASSERT_EQ(std::ssize(all.rows),
              db_.Count("SELECT count(*) FROM tracking_mensagem WHERE docto_transporte_id = ?1",
                        {document}));
    ASSERT_EQ(std::ssize(customer.rows),
              db_.Count("SELECT count(*) FROM tracking_mensagem t JOIN tipo_macro m "
                        "ON m.tipo_macro_id = t.tipo_macro_id "
                        "WHERE t.docto_transporte_id = ?1 AND m.visivel_cliente = 'S'",
                        {document}));
    for (std::size_t i = 1; i < all.rows.size(); ++i) {
      ASSERT_LE(all.text(i - 1, "data_tracking"), all.text(i, "data_tracking"));
    }
    for (std::size_t i = 0; i < customer.rows.size(); ++i) {
      EXPECT_NE(customer.text(i, "DESC_TIPO_MACRO"), "Parada para descanso");
      EXPECT_NE(customer.text(i, "DESC_TIPO_MACRO"), "Abastecimento");
    }
  }
  EXPECT_GT(db_.Count("SELECT count(*) FROM tipo_macro WHERE visivel_cliente = 'N'"), 0);
}

// The grants the flags' query finds: some of the thirteen for the granted
// group, none for the refused one (whose rows all say 'N') or the empty one.
TEST_F(Procedures, FeatureFlagGrantsCoverEveryKindOfGroup) {
  const auto grants = [&](std::int64_t group, std::string_view presence) {
    return db_.Count(
        "SELECT count(*) FROM GRUPO_USUARIO_PARTICUL WHERE Grupo_Usuario_Id = ?1 AND "
        "PARTICUL_FUNCAO_ID BETWEEN 114 AND 126 AND presenca_particularidade LIKE ?2",
        {group, std::string(presence)});
  };
  const std::int64_t granted = grants(summary_.granted_user_group_id, "S");
  EXPECT_GE(granted, 3);
  EXPECT_LT(granted, 13);
  EXPECT_EQ(grants(summary_.refused_user_group_id, "S"), 0);
  EXPECT_GT(grants(summary_.refused_user_group_id, "N"), 0);
  EXPECT_EQ(grants(summary_.empty_user_group_id, "%"), 0);
  EXPECT_EQ(db_.Count("SELECT empresa_id FROM grupo_usuario WHERE grupo_usuario_id = ?1",
                      {summary_.granted_user_group_id}),
            summary_.granted_user_group_company_id);
  EXPECT_EQ(db_.Query("SELECT desc_particul_funcao FROM PARTICUL_FUNCAO "
                      "WHERE PARTICUL_FUNCAO_ID = 114").rows,
            (std::vector<std::vector<Cell>>{{std::string("Número do pedido")}}));
}

}  // namespace
}  // namespace zebevi::schema::test
