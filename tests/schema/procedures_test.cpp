// The stored procedures of the reference database, called as the component
// calls them (the catalog body with the arguments bound in order), against
// the tables they read: the trip's queries, then the two lookups (typed
// document numbers with the caller's rights, and the published order).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

std::vector<std::int64_t> Column(const ResultSet& result, std::string_view column) {
  std::vector<std::int64_t> values;
  for (std::size_t row = 0; row < result.rows.size(); ++row) {
    values.push_back(result.integer(row, column));
  }
  std::sort(values.begin(), values.end());
  return values;
}

// "12345678000190" -> "12.345.678/0001-90"; "12345678909" -> "123.456.789-09".
std::string Punctuated(const std::string& digits) {
  if (digits.size() == 14) {
    return digits.substr(0, 2) + "." + digits.substr(2, 3) + "." + digits.substr(5, 3) + "/" +
           digits.substr(8, 4) + "-" + digits.substr(12);
  }
  return digits.substr(0, 3) + "." + digits.substr(3, 3) + "." + digits.substr(6, 3) + "-" +
         digits.substr(9);
}

class Lookups : public ::testing::Test {
 protected:
  const Reference& reference_ = SharedReference();
  const GeneratorSummary& summary_ = reference_.summary;
  const SqliteReader& db_ = reference_.db;

  // Document lookup: the typed numbers, then the caller's identifiers
  // (company, customer, customer group, supplier, collaborator, its type).
  std::vector<std::int64_t> Documents(Cell order, Cell invoice, Cell number,
                                      Args caller = {}) const {
    Args args = {std::move(order), std::move(invoice), std::move(number)};
    caller.resize(6, nullptr);
    args.insert(args.end(), caller.begin(), caller.end());
    return Column(db_.Call("SP_ZEB_CON_Docto_Transporte_ID6", args), "Docto_Transporte_id");
  }

  std::vector<std::int64_t> Expected(std::string_view sql, const Args& args = {}) const {
    return Column(db_.Query(sql, args), "id");
  }

  std::int64_t Number(std::int64_t document) const {
    return db_.Count(
        "SELECT num_docto_transporte FROM docto_transporte WHERE docto_transporte_id = ?1",
        {document});
  }

  // Published order lookup with the company as text and the unused NULL.
  ResultSet Published(Cell company, Cell order, Cell first = nullptr, Cell last = nullptr,
                      Cell cgc = nullptr, Cell cpf = nullptr) const {
    return db_.Call("SP_ZEB_CONS_pedido_PUBL",
                    {std::move(company), nullptr, std::move(order), std::move(first),
                     std::move(last), std::move(cgc), std::move(cpf)});
  }
};

TEST_F(Lookups, DocumentsMatchEveryTypedNumber) {
  const std::string& order = summary_.multi_document_order;
  EXPECT_EQ(Documents(order, nullptr, nullptr),
            Expected("SELECT d.docto_transporte_id AS id FROM docto_transporte d "
                     "JOIN pedido p USING (pedido_id) WHERE p.num_pedido = ?1",
                     {order}));
  EXPECT_EQ(std::ssize(Documents(order, nullptr, nullptr)),
            summary_.multi_document_order_documents);

  const std::string invoice = std::get<std::string>(
      db_.Query("SELECT num_nota_fiscal FROM nota_fiscal WHERE docto_transporte_id = ?1",
                {summary_.plain_document_id})
          .rows.at(0)
          .at(0));
  EXPECT_EQ(Documents(nullptr, invoice, nullptr),
            Expected("SELECT docto_transporte_id AS id FROM nota_fiscal WHERE num_nota_fiscal = ?1",
                     {invoice}));

  // Every carrier numbers its documents from the same start.
  const std::int64_t number = Number(summary_.plain_document_id);
  const std::vector<std::int64_t> numbered = Documents(nullptr, nullptr, number);
  EXPECT_EQ(numbered, Expected("SELECT docto_transporte_id AS id FROM docto_transporte "
                               "WHERE num_docto_transporte = ?1",
                               {number}));
  EXPECT_GT(numbered.size(), 1u);
  // Two numbers given: both must match.
  EXPECT_EQ(Documents(order, nullptr, number),
            std::vector<std::int64_t>{summary_.plain_document_id});
  EXPECT_TRUE(Documents(order, nullptr, Number(summary_.document_without_cycle_id)).empty());
  // Nothing given, nothing found; a zero number counts as not given.
  EXPECT_TRUE(Documents(nullptr, nullptr, nullptr).empty());
  EXPECT_EQ(Documents(order, "", std::int64_t{0}), Documents(order, nullptr, nullptr));
  EXPECT_TRUE(Documents("no such order", nullptr, nullptr).empty());
}

TEST_F(Lookups, CallerIdentifiersNarrowTheDocuments) {
  const std::int64_t number = Number(summary_.plain_document_id);
  const auto with = [&](Args caller) { return Documents(nullptr, nullptr, number, caller); };
  const std::vector<std::int64_t> everyone = with({});
  const Cell zero = std::int64_t{0};
  EXPECT_EQ(with({zero, zero, zero, zero, zero, zero}), everyone);
  EXPECT_EQ(with({std::int64_t{2}}),
            Expected("SELECT docto_transporte_id AS id FROM docto_transporte "
                     "WHERE num_docto_transporte = ?1 AND empresa_id = 2",
                     {number}));

  const std::int64_t customer =
      db_.Count("SELECT cliente_id FROM docto_transporte WHERE docto_transporte_id = ?1",
                {summary_.plain_document_id});
  EXPECT_EQ(with({nullptr, customer}),
            Expected("SELECT docto_transporte_id AS id FROM docto_transporte "
                     "WHERE num_docto_transporte = ?1 AND cliente_id = ?2",
                     {number, customer}));
  const std::vector<std::int64_t> other_customer = with({nullptr, customer + 1});
  EXPECT_EQ(std::count(other_customer.begin(), other_customer.end(), summary_.plain_document_id),
            0);

  const ResultSet grouped = db_.Query(
      "SELECT d.num_docto_transporte, c.grupo_cliente_id FROM docto_transporte d "
      "JOIN cliente c USING (cliente_id) WHERE c.grupo_cliente_id IS NOT NULL LIMIT 1");
  ASSERT_EQ(grouped.rows.size(), 1u);
  const std::int64_t group_number = grouped.integer(0, "num_docto_transporte");
  const std::int64_t group = grouped.integer(0, "grupo_cliente_id");
  const std::vector<std::int64_t> members = Expected(
      "SELECT d.docto_transporte_id AS id FROM docto_transporte d JOIN cliente c "
      "USING (cliente_id) WHERE d.num_docto_transporte = ?1 AND c.grupo_cliente_id = ?2",
      {group_number, group});
  EXPECT_FALSE(members.empty());
  EXPECT_EQ(Documents(nullptr, nullptr, group_number, {nullptr, nullptr, group}), members);
}

TEST_F(Lookups, SuppliersSeeTheTripsOfTheirVehicles) {
  const ResultSet hired = db_.Query(
      "SELECT d.docto_transporte_id, cv.fornecedor_id, d.num_docto_transporte "
      "FROM docto_transporte d JOIN cavalo cv USING (cavalo_id) "
      "WHERE cv.fornecedor_id IS NOT NULL LIMIT 1");
  ASSERT_EQ(hired.rows.size(), 1u);
  const std::int64_t supplier = hired.integer(0, "fornecedor_id");
  const std::int64_t number = hired.integer(0, "num_docto_transporte");
  const std::vector<std::int64_t> seen =
      Documents(nullptr, nullptr, number, {nullptr, nullptr, nullptr, supplier});
  EXPECT_NE(std::find(seen.begin(), seen.end(), hired.integer(0, "docto_transporte_id")),
            seen.end());
  EXPECT_EQ(seen, Expected("SELECT d.docto_transporte_id AS id FROM docto_transporte d "
                           "JOIN cavalo cv USING (cavalo_id) LEFT JOIN carreta cr USING "
                           "(carreta_id) WHERE d.num_docto_transporte = ?1 AND "
                           "(cv.fornecedor_id = ?2 OR cr.fornecedor_id = ?2)",
                           {number, supplier}));
}

TEST_F(Lookups, CollaboratorsSeeByTheScopeOfTheirType) {
  const std::int64_t document = summary_.plain_document_id;
  const ResultSet trip = db_.Query(
      "SELECT motorista_id, ponto_operacao_id, empresa_id, num_docto_transporte "
      "FROM docto_transporte WHERE docto_transporte_id = ?1",
      {document});
  const std::int64_t number = trip.integer(0, "num_docto_transporte");
  const std::int64_t driver = trip.integer(0, "motorista_id");
  const auto sees = [&](Cell collaborator, Cell type = nullptr) {
    const std::vector<std::int64_t> found = Documents(
        nullptr, nullptr, number, {nullptr, nullptr, nullptr, nullptr, collaborator, type});
    return std::find(found.begin(), found.end(), document) != found.end();
  };
  // A collaborator of the document's company (?1) by scope, at its point or
  // elsewhere (?2), other than its driver (?3).
  const auto staff = [&](std::string_view where) -> Cell {
    return db_.Count(
        "SELECT c.colaborador_id FROM colaborador c JOIN tab_tipo_colaborador t "
        "USING (tab_tipo_colaborador_id) WHERE c.colaborador_id <> ?3 AND " +
            std::string(where) + " ORDER BY 1 LIMIT 1",
        {trip.integer(0, "empresa_id"), trip.integer(0, "ponto_operacao_id"), driver});
  };
  const Cell other_driver = staff("t.escopo = 'M' AND c.empresa_id = ?1");
  EXPECT_TRUE(sees(driver));
  EXPECT_FALSE(sees(other_driver));
  EXPECT_TRUE(sees(staff("t.escopo = 'P' AND c.empresa_id = ?1 AND c.ponto_operacao_id = ?2")));
  EXPECT_FALSE(sees(staff("t.escopo = 'P' AND c.empresa_id = ?1 AND c.ponto_operacao_id <> ?2")));
  EXPECT_TRUE(sees(staff("t.escopo = 'E' AND c.empresa_id = ?1")));
  EXPECT_FALSE(sees(staff("t.escopo = 'E' AND c.empresa_id <> ?1")));
  EXPECT_FALSE(sees(std::int64_t{999999}));
  // The type given overrides the collaborator's own: a driver handed the
  // traffic operator's type sees the whole company.
  EXPECT_TRUE(sees(other_driver, std::int64_t{2}));
}

TEST_F(Lookups, PublishedOrderCountsItsDocuments) {
  const std::string& order = summary_.multi_document_order;
  const std::string company = std::to_string(summary_.multi_document_order_company_id);
  const ResultSet found = Published(company, order);
  ASSERT_EQ(std::ssize(found.rows), summary_.multi_document_order_documents);
  for (std::size_t row = 0; row < found.rows.size(); ++row) {
    EXPECT_EQ(found.integer(row, "contador"), summary_.multi_document_order_documents);
    EXPECT_EQ(found.integer(row, "retorno"), 1);
  }
  for (std::size_t row = 1; row < found.rows.size(); ++row) {
    EXPECT_LE(found.text(row - 1, "data_emissao"), found.text(row, "data_emissao"));
  }

  const ResultSet unknown_order = Published(company, "0000000000");
  ASSERT_EQ(unknown_order.rows.size(), 1u);
  EXPECT_EQ(unknown_order.integer(0, "contador"), 0);
  EXPECT_EQ(unknown_order.integer(0, "retorno"), 0);

  EXPECT_TRUE(Published("999", order).rows.empty());
  EXPECT_TRUE(Published("abc", order).rows.empty());

  // Without a company the order is looked up in every company.
  const ResultSet anywhere = Published(nullptr, order);
  EXPECT_GE(std::ssize(anywhere.rows), summary_.multi_document_order_documents);
  EXPECT_EQ(anywhere.integer(0, "contador"), std::ssize(anywhere.rows));
  const ResultSet nowhere = Published(nullptr, "0000000000");
  ASSERT_EQ(nowhere.rows.size(), 1u);
  EXPECT_EQ(nowhere.integer(0, "contador"), 0);
}

TEST_F(Lookups, PublishedOrderFiltersByIssueDates) {
  const std::string& order = summary_.multi_document_order;
  const std::string company = std::to_string(summary_.multi_document_order_company_id);
  const ResultSet all = Published(company, order);
  ASSERT_GE(all.rows.size(), 4u);
  const std::string first = all.text(1, "data_emissao");
  const std::string last = all.text(all.rows.size() - 2, "data_emissao");
  ASSERT_LT(first, last);
  const auto within = [&](const ResultSet& result) {
    for (std::size_t row = 0; row < result.rows.size(); ++row) {
      EXPECT_GE(result.text(row, "data_emissao"), first);
      EXPECT_LE(result.text(row, "data_emissao"), last);
    }
  };
  const std::int64_t expected =
      std::count_if(all.rows.begin(), all.rows.end(), [&](const auto& row) {
        const std::string& date = std::get<std::string>(row[all.column("data_emissao")]);
        return date >= first && date <= last;
      });
  const ResultSet ranged = Published(company, order, first, last);
  EXPECT_EQ(std::ssize(ranged.rows), expected);
  EXPECT_EQ(ranged.integer(0, "contador"), expected);
  within(ranged);
  // A date with a time of day still takes in that whole day.
  EXPECT_EQ(Published(company, order, first + " 00:00:00", last + " 00:00:00").rows, ranged.rows);
  EXPECT_EQ(std::ssize(Published(company, order, first).rows),
            std::count_if(all.rows.begin(), all.rows.end(), [&](const auto& row) {
              return std::get<std::string>(row[all.column("data_emissao")]) >= first;
            }));
  const ResultSet none = Published(company, order, "2030-01-01");
  ASSERT_EQ(none.rows.size(), 1u);
  EXPECT_EQ(none.integer(0, "contador"), 0);
}

TEST_F(Lookups, PublishedOrderFiltersByConsigneeTaxNumbers) {
  const std::string& order = summary_.multi_document_order;
  const std::string company = std::to_string(summary_.multi_document_order_company_id);
  const std::string& cgc = summary_.consignee_cgc;
  const std::vector<std::int64_t> expected = Expected(
      "SELECT d.docto_transporte_id AS id FROM docto_transporte d JOIN pedido p "
      "USING (pedido_id) JOIN parceiro dst ON dst.parceiro_id = d.destinatario_id "
      "WHERE p.num_pedido = ?1 AND dst.cgc = ?2",
      {order, cgc});
  ASSERT_FALSE(expected.empty());
  ASSERT_LT(std::ssize(expected), summary_.multi_document_order_documents);
  for (const std::string& typed : {cgc, Punctuated(cgc), " " + Punctuated(cgc)}) {
    EXPECT_EQ(Column(Published(company, order, nullptr, nullptr, typed), "Docto_Transporte_id"),
              expected)
        << typed;
  }
  const ResultSet nobody = Published(company, order, nullptr, nullptr, "00.000.000/0000-00");
  ASSERT_EQ(nobody.rows.size(), 1u);
  EXPECT_EQ(nobody.integer(0, "contador"), 0);

  const ResultSet person = db_.Query(
      "SELECT p.num_pedido, p.empresa_id, dst.cpf FROM docto_transporte d JOIN pedido p "
      "USING (pedido_id) JOIN parceiro dst ON dst.parceiro_id = d.destinatario_id "
      "WHERE dst.cpf IS NOT NULL ORDER BY d.docto_transporte_id LIMIT 1");
  ASSERT_EQ(person.rows.size(), 1u);
  const std::string person_order = person.text(0, "num_pedido");
  const std::string cpf = person.text(0, "cpf");
  const std::vector<std::int64_t> by_cpf =
      Column(Published(std::to_string(person.integer(0, "empresa_id")), person_order, nullptr,
                       nullptr, nullptr, Punctuated(cpf)),
             "Docto_Transporte_id");
  EXPECT_EQ(by_cpf, Expected("SELECT d.docto_transporte_id AS id FROM docto_transporte d "
                             "JOIN pedido p USING (pedido_id) JOIN parceiro dst "
                             "ON dst.parceiro_id = d.destinatario_id "
                             "WHERE p.num_pedido = ?1 AND dst.cpf = ?2",
                             {person_order, cpf}));
  EXPECT_FALSE(by_cpf.empty());
}

}  // namespace
}  // namespace zebevi::schema::test
