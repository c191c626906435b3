// The stored procedures of the reference database, called as the component
// calls them: the catalog body with the arguments bound in order.
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

TEST_F(Procedures, ReturnExactlyTheColumnsTheComponentReads) {
  struct Case {
    std::string_view procedure;
    Args args;
    std::vector<std::string> columns;
  };
  const std::string order = summary_.multi_document_order;
  const std::vector<Case> cases = {
      {"SP_ZEB_CON_TROCA_DOCTO_TRANSP",
       {Child()},
       {"retorno", "DOCTO_TRANSP_PAI_ID", "num_docto_pai", "DOCTO_TRANSP_FILHO_ID",
        "num_docto_filho"}},
      {"SP_ZEB_CON_Dados_Doc_Viagem11",
       {Child(), Parent(), "S"},
       {"num_pedido_interno", "num_docto_transporte", "CAVALO", "PLACA_CAVALO", "carreta",
        "PLACA_carreta", "produto", "nome", "Data_Chegada_Cliente_Efetiva",
        "data_Chegada_cliente_prevista", "data_prevista_rastreador", "remetente", "destinatario",
        "cliente", "rota_id", "flag_no_prazo"}},
      {"SP_ZEB_CON_NOTA_FISCAL_DOCTO3",
       {Plain(), Plain(), "N"},
       {"nota_fiscal", "peso_real_kg", "val_declarado"}},
      {"SP_ZEB_CON_TRACKING_CICLO5",
       {Plain(), Plain(), "N"},
       {"DESC_TIPO_MACRO", "data_tracking", "odometro"}},
      {"SP_ZEB_CON_TRACK_CICLO_CLI5",
       {Plain(), Plain(), "N"},
       {"DESC_TIPO_MACRO", "data_tracking", "odometro"}},
      {"SP_ZEB_CON_Resumo_Ciclo2",
       {Plain(), "N"},
       {"Km_total", "km_ate_rem", "km_rem_dest", "km_apos_dest", "tempo_operacao",
        "tempo_transporte", "tempo_ate_rem", "tempo_retorno", "Tempo_proc", "tempo_carga",
        "tempo_descarga", "tempo_janela_espera", "tempo_ant_carga", "tempo_pos_carga",
        "tempo_ant_desc", "tempo_pos_desc", "tempo_rem_dest"}},
      {"SP_ZEB_CON_Tempo_km_Rota", {summary_.route_id}, {"total_km", "tempo_previsto"}},
      {"SP_ZEB_CON_Docto_Transporte_ID6",
       {order, nullptr, nullptr, std::int64_t{1}, nullptr, nullptr, nullptr, nullptr, nullptr},
       {"Docto_Transporte_id", "num_docto_transporte", "data_emissao",
        "Data_Chegada_Cliente_Efetiva", "nome_fantasia", "nome"}},
      {"SP_ZEB_CONS_pedido_PUBL",
       {"1", nullptr, order, nullptr, nullptr, nullptr, nullptr},
       {"contador", "retorno", "Docto_Transporte_id", "num_docto_transporte", "data_emissao",
        "data_entrega"}},
  };
  for (const Case& c : cases) {
    const ResultSet result = db_.Call(c.procedure, c.args);
    EXPECT_EQ(result.columns, c.columns) << c.procedure;
    EXPECT_FALSE(result.rows.empty()) << c.procedure;
  }
}

// A reader learns that a column is a date only from its declared type.
TEST_F(Procedures, DateColumnsKeepTheirDeclaredType) {
  const ResultSet header = db_.Call("SP_ZEB_CON_Dados_Doc_Viagem11", {Child(), Parent(), "S"});
  EXPECT_EQ(header.decltype_of("Data_Chegada_Cliente_Efetiva"), "DATETIME");
  EXPECT_EQ(header.decltype_of("data_Chegada_cliente_prevista"), "DATETIME");
  EXPECT_EQ(header.decltype_of("data_prevista_rastreador"), "DATETIME");
  for (const char* procedure : {"SP_ZEB_CON_TRACKING_CICLO5", "SP_ZEB_CON_TRACK_CICLO_CLI5"}) {
    const ResultSet tracking = db_.Call(procedure, {Child(), Parent(), "S"});
    EXPECT_EQ(tracking.decltype_of("data_tracking"), "DATETIME") << procedure;
  }
  const ResultSet documents = db_.Call("SP_ZEB_CON_Docto_Transporte_ID6",
                                       {summary_.multi_document_order, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, nullptr, nullptr, nullptr});
  EXPECT_EQ(documents.decltype_of("data_emissao"), "DATE");
  EXPECT_EQ(documents.decltype_of("Data_Chegada_Cliente_Efetiva"), "DATETIME");
  // The order lookup is a UNION ALL; found or not, the first SELECT types it.
  for (const std::string& order : {summary_.multi_document_order, std::string("nenhum")}) {
    const ResultSet orders = db_.Call("SP_ZEB_CONS_pedido_PUBL",
                                      {"1", nullptr, order, nullptr, nullptr, nullptr, nullptr});
    EXPECT_EQ(orders.decltype_of("data_emissao"), "DATE") << order;
    EXPECT_EQ(orders.decltype_of("data_entrega"), "DATETIME") << order;
  }
}

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

TEST_F(Procedures, HeaderShowsMissingRouteAndArrivalAsTheComponentExpects) {
  const std::int64_t unrouted = summary_.document_without_route_id;
  const ResultSet no_route = db_.Call("SP_ZEB_CON_Dados_Doc_Viagem11", {unrouted, unrouted, "N"});
  ASSERT_EQ(no_route.rows.size(), 1u);
  EXPECT_EQ(no_route.integer(0, "rota_id"), 0);

  const std::int64_t waiting = summary_.document_without_arrival_id;
  const ResultSet no_arrival = db_.Call("SP_ZEB_CON_Dados_Doc_Viagem11", {waiting, waiting, "N"});
  ASSERT_EQ(no_arrival.rows.size(), 1u);
  EXPECT_TRUE(no_arrival.is_null(0, "Data_Chegada_Cliente_Efetiva"));
  EXPECT_TRUE(no_arrival.is_null(0, "data_Chegada_cliente_prevista"));
  EXPECT_TRUE(no_arrival.is_null(0, "data_prevista_rastreador"));
  EXPECT_EQ(no_arrival.text(0, "flag_no_prazo"), "I");

  EXPECT_TRUE(
      db_.Call("SP_ZEB_CON_Dados_Doc_Viagem11", {std::int64_t{999999}, 0, "N"}).rows.empty());
}

TEST_F(Procedures, InvoicesCarryNumbersWeightsAndValues) {
  const ResultSet invoices = db_.Call("SP_ZEB_CON_NOTA_FISCAL_DOCTO3", {Parent(), Parent(), "S"});
  ASSERT_FALSE(invoices.rows.empty());
  for (std::size_t row = 0; row < invoices.rows.size(); ++row) {
    EXPECT_FALSE(invoices.text(row, "nota_fiscal").empty());
    EXPECT_GT(invoices.real(row, "peso_real_kg"), 0);
    EXPECT_GT(invoices.real(row, "val_declarado"), 0);
  }
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

TEST_F(Procedures, CycleAndRouteMeasures) {
  const ResultSet cycle = db_.Call("SP_ZEB_CON_Resumo_Ciclo2", {Plain(), "N"});
  ASSERT_EQ(cycle.rows.size(), 1u);
  EXPECT_GT(cycle.real(0, "Km_total"), 0);
  EXPECT_GT(cycle.integer(0, "tempo_operacao"), cycle.integer(0, "tempo_transporte"));
  EXPECT_TRUE(
      db_.Call("SP_ZEB_CON_Resumo_Ciclo2", {summary_.document_without_cycle_id, "N"}).rows.empty());

  const ResultSet route = db_.Call("SP_ZEB_CON_Tempo_km_Rota", {std::int64_t{7}});
  ASSERT_EQ(route.rows.size(), 1u);
  EXPECT_GT(route.real(0, "total_km"), 0);
  const double days = std::get<double>(route.at(0, "tempo_previsto"));
  EXPECT_GT(days, 0);
  EXPECT_LT(days, 10);
  EXPECT_TRUE(db_.Call("SP_ZEB_CON_Tempo_km_Rota", {std::int64_t{999999}}).rows.empty());
}

TEST_F(Procedures, FeatureFlagsSelectReturnsTheGroupsGrants) {
  const auto grants = [&](std::int64_t group) {
    // The component's own text, to the letter.
    return db_.Query(
        "SELECT GRP.GRUPO_USUARIO_PARTICUL_ID, GRP.PARTICUL_FUNCAO_ID, PFU.desc_particul_funcao "
        "FROM GRUPO_USUARIO_PARTICUL GRP, PARTICUL_FUNCAO PFU "
        "Where GRP.PARTICUL_FUNCAO_ID = PFU.PARTICUL_FUNCAO_ID AND grp.Grupo_Usuario_Id = " +
        std::to_string(group) + " And presenca_particularidade = 'S'");
  };
  const ResultSet granted = grants(summary_.granted_user_group_id);
  std::vector<std::int64_t> codes = Ids(granted, "PARTICUL_FUNCAO_ID");
  const auto granted_in_range = std::count_if(
      codes.begin(), codes.end(), [](std::int64_t code) { return code >= 114 && code <= 126; });
  EXPECT_GE(granted_in_range, 3);
  EXPECT_LT(granted_in_range, 13);
  EXPECT_NE(std::find(codes.begin(), codes.end(), 114), codes.end());
  for (std::size_t row = 0; row < granted.rows.size(); ++row) {
    if (granted.integer(row, "PARTICUL_FUNCAO_ID") == 114) {
      EXPECT_EQ(granted.text(row, "desc_particul_funcao"), "Número do pedido");
    }
  }
  EXPECT_EQ(db_.Count("SELECT empresa_id FROM grupo_usuario WHERE grupo_usuario_id = ?1",
                      {summary_.granted_user_group_id}),
            summary_.granted_user_group_company_id);

  EXPECT_TRUE(grants(summary_.refused_user_group_id).rows.empty());
  EXPECT_GT(db_.Count("SELECT count(*) FROM GRUPO_USUARIO_PARTICUL WHERE Grupo_Usuario_Id = ?1",
                      {summary_.refused_user_group_id}),
            0);
  EXPECT_TRUE(grants(summary_.empty_user_group_id).rows.empty());
  EXPECT_EQ(db_.Count("SELECT count(*) FROM GRUPO_USUARIO_PARTICUL WHERE Grupo_Usuario_Id = ?1",
                      {summary_.empty_user_group_id}),
            0);
}

}  // namespace
}  // namespace zebevi::schema::test
