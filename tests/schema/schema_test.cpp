// The generator's parts, the reference database it generates (read through
// the product's own SQLite sessions), then the stored procedures called as
// the component calls them, against what their tables hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "db/session.h"
#include "schema/brazil.h"
#include "schema/calendar.h"
#include "schema/generator.h"
#include "schema/random.h"
#include "support/engines.h"
#include "support/test_support.h"
#include "zebevi/db.h"

namespace zebevi::schema::test {
namespace {

using zebevi::testing::ReadWhole;
using zebevi::testing::TempDir;

struct Reader {
  explicit Reader(const std::string& connection_string) { connection.Open(connection_string); }
  db::Table Query(std::string_view sql) { return connection.session().Execute(sql); }
  std::int64_t Count(std::string_view sql) { return ToInt32(Query(sql).rows.at(0).at(0)); }
  DbConnection connection;
};

// The reference data set every engine suite holds, on SQLite.
const testing::EngineReference& Reference() {
  return testing::ReferenceOn(testing::Engine::kSqlite);
}

GeneratorOptions Options(std::int64_t documents, std::uint64_t seed = testing::kReferenceSeed) {
  return {.documents = documents, .seed = seed, .progress = {}};
}

// Whether a CGC (14 digits) or CPF (11) carries its own check digits.
bool CheckDigitsHold(const std::string& number) {
  return number == (number.size() == 14
                        ? Cgc(std::stoll(number.substr(0, 8)), std::stoi(number.substr(8, 4)))
                        : Cpf(std::stoll(number.substr(0, 9))));
}

TEST(TaxNumbers, CarryTheirCheckDigitsAndNeverRepeat) {
  // Examples worked out in the tax authority's explanations of the algorithms.
  EXPECT_EQ(Cpf(529982247), "52998224725");
  EXPECT_EQ(Cgc(11222333, 1), "11222333000181");
  EXPECT_EQ(Cpf(1234567).substr(0, 2), "00");
  TaxNumbers taxes(42);
  std::set<std::string> seen;
  for (int i = 0; i < 20000; ++i) {
    for (const auto& [number, digits] : {std::pair{taxes.NextCgc(), 14u}, {taxes.NextCpf(), 11u}}) {
      ASSERT_EQ(number.size(), digits);
      EXPECT_TRUE(CheckDigitsHold(number)) << number;
      EXPECT_NE(number.find_first_not_of(number[0]), std::string::npos) << number;
      EXPECT_TRUE(seen.insert(number).second) << number;
    }
  }
}

TEST(Calendar, WritesIsoTexts) {
  const std::int64_t moment = MomentOf(2026, 3, 5) + 14 * kHour + 7 * kMinute + 9;
  EXPECT_EQ(DateTimeText(moment).view(), "2026-03-05 14:07:09");
  EXPECT_EQ(DateText(MomentOf(2024, 2, 28) + kDay).view(), "2024-02-29");
  EXPECT_EQ(DateText(MomentOf(2025, 2, 28) + kDay).view(), "2025-03-01");
  EXPECT_EQ(DateTimeText(MomentOf(2025, 12, 31) + kDay - 1).view(), "2025-12-31 23:59:59");
  EXPECT_EQ(MomentOf(1970, 1, 1), 0);
}

TEST(Random, IsReproducibleAndCoversItsRange) {
  // Pinned output: a change of algorithm would silently change every data
  // set generated from a given seed.
  Random pinned(1, 0);
  EXPECT_EQ(pinned.Next(), 12966619160104079557ULL);
  EXPECT_EQ(pinned.Next(), 9600361134598540522ULL);
  Random a(7, 1), other_stream(7, 2), other_seed(8, 1);
  const std::uint64_t first = a.Next();
  EXPECT_NE(first, other_stream.Next());
  EXPECT_NE(first, other_seed.Next());
  std::set<std::int64_t> drawn;
  for (int i = 0; i < 1000; ++i) drawn.insert(a.Between(-3, 3));
  EXPECT_EQ(drawn, (std::set<std::int64_t>{-3, -2, -1, 0, 1, 2, 3}));
}

TEST(Generator, SameSeedGivesSameContentAndAnotherSeedDoesNot) {
  TempDir dir;
  std::int64_t last = 0;
  GeneratorOptions progress = Options(2500);
  progress.progress = [&](std::int64_t done, std::int64_t total) {
    EXPECT_EQ(total, 2500);
    EXPECT_GE(done, last);
    last = done;
  };
  for (const auto& [name, options] :
       {std::pair{"a.db", progress}, {"b.db", Options(2500)}, {"c.db", Options(2500, 8)}}) {
    GenerateSqlite(dir / name, options);
  }
  EXPECT_EQ(last, 2500) << "progress reaches the total";
  EXPECT_TRUE(ReadWhole(dir / "a.db") == ReadWhole(dir / "b.db"));
  EXPECT_FALSE(ReadWhole(dir / "a.db") == ReadWhole(dir / "c.db"));
}

TEST(Generator, FailureLeavesNoFileBehindAndNeverTouchesAnExistingOne) {
  TempDir dir;
  std::ofstream(dir / "precious.db") << "keep me";
  GeneratorOptions cancelled = Options(3000);
  cancelled.progress = [](std::int64_t done, std::int64_t) {
    if (done >= 2048) throw std::runtime_error("cancelled");
  };
  for (const auto& [name, options, says] :
       std::vector<std::tuple<const char*, GeneratorOptions, const char*>>{
           {"precious.db", Options(20), "already exists"},
           {"small.db", Options(kMinimumDocuments - 1), ""},
           {"cancelled.db", cancelled, "cancelled"},
           {"missing/folder.db", Options(20), ""}}) {
    try {
      GenerateSqlite(dir / name, options);
      ADD_FAILURE() << name << " was generated";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
    }
    EXPECT_EQ(std::filesystem::exists(dir / name), name == std::string("precious.db")) << name;
  }
  EXPECT_EQ(ReadWhole(dir / "precious.db"), "keep me");
}

// The summary's counts, the rows the engine suites rely on, and rows that
// agree with each other.
TEST(Generator, TheReferenceRowsMatchTheSummaryAndAgree) {
  const GeneratorSummary& s = Reference().summary;
  Reader db(Reference().connection_string);
  EXPECT_EQ(s.documents, testing::kReferenceDocuments);
  for (const auto& [table, n] : std::vector<std::pair<std::string, std::int64_t>>{
           {"docto_transporte", s.documents},
           {"pedido", s.orders},
           {"nota_fiscal", s.invoices},
           {"tracking_mensagem", s.occurrences},
           {"resumo_ciclo", s.cycles},
           {"rota", s.routes},
           {"troca_docto_transp", s.exchanged_children},
           {"parceiro", s.parties},
           {"cliente", s.customers},
           {"zeb_procedure", 9}}) {
    EXPECT_EQ(db.Count("SELECT count(*) FROM " + table), n) << table;
  }
  // The grants of the thirteen feature flags (114 to 126) of a user group.
  const auto grants = [](std::int64_t group, const char* presence) {
    return "count(*) FROM GRUPO_USUARIO_PARTICUL WHERE PARTICUL_FUNCAO_ID BETWEEN 114 AND 126 "
           "AND presenca_particularidade LIKE '" +
           std::string(presence) + "' AND Grupo_Usuario_Id = " + std::to_string(group);
  };
  const auto count = [&](const std::string& what) { return db.Count("SELECT " + what); };
  EXPECT_EQ(count("count(DISTINCT docto_transp_pai_id) FROM troca_docto_transp"), s.exchanges);
  EXPECT_EQ(count("count(*) FROM docto_transporte d JOIN pedido p ON p.pedido_id = d.pedido_id "
                  "WHERE p.num_pedido = '" +
                  s.multi_document_order + "'"),
            s.multi_document_order_documents);
  EXPECT_EQ(count("empresa_id FROM grupo_usuario WHERE grupo_usuario_id = " +
                  std::to_string(s.granted_user_group_id)),
            s.granted_user_group_company_id);
  const std::int64_t granted = count(grants(s.granted_user_group_id, "S"));
  EXPECT_TRUE(granted >= 3 && granted <= 12) << granted;
  EXPECT_EQ(count(grants(s.refused_user_group_id, "S")), 0);
  EXPECT_GE(count(grants(s.refused_user_group_id, "N")), 1);
  EXPECT_EQ(count(grants(s.empty_user_group_id, "%")), 0);
  EXPECT_EQ(count("count(*) FROM PARTICUL_FUNCAO WHERE PARTICUL_FUNCAO_ID = 114 AND "
                  "desc_particul_funcao = 'Número do pedido'"),
            1);
  // Catalog names are found whatever their case; an index and the statistics.
  EXPECT_EQ(count("count(*) FROM zeb_procedure WHERE name = 'sp_zeb_con_tempo_km_rota'"), 1);
  EXPECT_EQ(count("count(*) FROM sqlite_master WHERE name = 'ix_tracking_mensagem_docto'"), 1);
  EXPECT_GE(count("count(*) FROM sqlite_stat1"), 1);
  for (const char* violations :
       {// Tracking moves forward in time and distance.
        "tracking_mensagem a JOIN tracking_mensagem b ON b.docto_transporte_id = "
        "a.docto_transporte_id AND b.tracking_mensagem_id = a.tracking_mensagem_id + 1 WHERE "
        "b.data_tracking < a.data_tracking OR b.odometro < a.odometro",
        // The verdict follows the arrival times; documents under way have none.
        "docto_transporte WHERE flag_no_prazo IS NOT CASE WHEN data_chegada_cliente_prevista "
        "IS NULL THEN 'I' WHEN data_chegada_cliente_efetiva IS NULL THEN NULL WHEN "
        "data_chegada_cliente_efetiva <= data_chegada_cliente_prevista THEN 'S' ELSE 'N' END",
        // The cycle's totals are the sums of their parts.
        "resumo_ciclo WHERE tempo_proc <> tempo_carga + tempo_descarga OR tempo_transporte <> "
        "tempo_pos_carga + tempo_rem_dest + tempo_ant_desc OR tempo_operacao <> tempo_ate_rem "
        "+ tempo_ant_carga + tempo_carga + tempo_transporte + tempo_descarga + tempo_pos_desc "
        "+ tempo_retorno OR abs(km_total - km_ate_rem - km_rem_dest - km_apos_dest) > 0.001",
        // No parent is a child; plates are unique.
        "troca_docto_transp WHERE docto_transp_pai_id IN (SELECT docto_transp_filho_id FROM "
        "troca_docto_transp)",
        "(SELECT placa FROM (SELECT placa FROM cavalo UNION ALL SELECT placa FROM carreta) "
        "GROUP BY placa HAVING count(*) > 1)"}) {
    EXPECT_EQ(db.Count(std::string("SELECT count(*) FROM ") + violations), 0) << violations;
  }
  EXPECT_TRUE(db.Query("PRAGMA foreign_key_check").rows.empty());
  std::int64_t rows = 0;
  for (const auto& table : db.Query("SELECT name FROM sqlite_master WHERE type = 'table' "
                                    "AND name NOT IN ('zeb_procedure', 'sqlite_stat1')")
                               .rows) {
    rows += db.Count("SELECT count(*) FROM " + table[0].string());
  }
  EXPECT_EQ(rows, s.rows);
}

const std::string kNothing = "SELECT 1 WHERE 0";

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// "12345678000190" -> "12.345.678/0001-90"; "12345678909" -> "123.456.789-09".
std::string Punctuated(const std::string& digits) {
  if (digits.size() == 14) {
    return digits.substr(0, 2) + "." + digits.substr(2, 3) + "." + digits.substr(5, 3) + "/" +
           digits.substr(8, 4) + "-" + digits.substr(12);
  }
  return digits.substr(0, 3) + "." + digits.substr(3, 3) + "." + digits.substr(6, 3) + "-" +
         digits.substr(9);
}

// The sorted values of one column, NULLs left out.
std::vector<std::int32_t> Ids(const db::Table& table, std::size_t column = 0) {
  std::vector<std::int32_t> ids;
  for (const auto& row : table.rows) {
    if (!row.at(column).is_null()) ids.push_back(ToInt32(row.at(column)));
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

class Procedures : public ::testing::Test {
 protected:
  db::Table Run(const std::string& command) { return db_.Query(command); }
  std::string One(const std::string& sql) { return ToString(Run(sql).rows.at(0).at(0)); }

  const GeneratorSummary& s_ = Reference().summary;
  Reader db_{Reference().connection_string};
  const std::string child_ = std::to_string(s_.exchanged_document_id);
  const std::string parent_ = std::to_string(s_.exchange_parent_id);
  const std::string plain_ = std::to_string(s_.plain_document_id);
};

// With the flag 'S' and its real parent, a child's trip is the parent's.
TEST_F(Procedures, TripQueriesFollowTheExchangeToItsRealParentOnly) {
  const std::string children =
      "SELECT 0, t.docto_transp_pai_id, p.num_docto_transporte, t.docto_transp_filho_id, "
      "f.num_docto_transporte FROM troca_docto_transp t JOIN docto_transporte p ON "
      "p.docto_transporte_id = t.docto_transp_pai_id JOIN docto_transporte f ON "
      "f.docto_transporte_id = t.docto_transp_filho_id WHERE t.docto_transp_pai_id = " +
      parent_ + " ORDER BY 4";
  const auto invoices = [](const std::string& documents) {
    return "SELECT num_nota_fiscal, peso_real_kg, val_declarado FROM nota_fiscal WHERE "
           "docto_transporte_id IN (" +
           documents + ") ORDER BY docto_transporte_id, nota_fiscal_id";
  };
  const std::string exchange =
      "SELECT docto_transp_filho_id FROM troca_docto_transp WHERE "
      "docto_transp_pai_id = " +
      parent_ + " UNION SELECT " + parent_;
  const auto args = [](const std::string& doc, const std::string& parent, const char* flag) {
    return " " + doc + ", " + parent + ", '" + flag + "'";
  };
  const struct {
    const char* name;
    std::string call, same_as;
    std::size_t least = 1;
  } cases[] = {
      {"a child lists its exchange", "EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP " + child_, children, 2},
      {"the parent lists the same", "EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP " + parent_, children, 2},
      {"a plain document is its own parent", "EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP " + plain_,
       "SELECT 1, docto_transporte_id, num_docto_transporte, NULL, NULL FROM docto_transporte "
       "WHERE docto_transporte_id = " +
           plain_},
      {"an unknown document", "EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP 999999", kNothing, 0},
      {"a parent that is not its own",
       "EXEC SP_ZEB_CON_Dados_Doc_Viagem11" + args(child_, plain_, "S"),
       "EXEC SP_ZEB_CON_Dados_Doc_Viagem11" + args(child_, child_, "N")},
      {"the exchange's invoices", "EXEC SP_ZEB_CON_NOTA_FISCAL_DOCTO3" + args(child_, parent_, "S"),
       invoices(exchange), 2},
      {"its own invoices", "EXEC SP_ZEB_CON_NOTA_FISCAL_DOCTO3" + args(child_, parent_, "N"),
       invoices(child_)},
      {"the parent's tracking", "EXEC SP_ZEB_CON_TRACKING_CICLO5" + args(child_, parent_, "S"),
       "EXEC SP_ZEB_CON_TRACKING_CICLO5" + args(parent_, parent_, "N")},
      {"the parent's cycle", "EXEC SP_ZEB_CON_Resumo_Ciclo2 " + child_ + ", 'S'",
       "EXEC SP_ZEB_CON_Resumo_Ciclo2 " + parent_ + ", 'N'"},
  };
  for (const auto& c : cases) {
    const db::Table got = Run(c.call);
    EXPECT_EQ(got.rows, Run(c.same_as).rows) << c.name;
    EXPECT_GE(got.rows.size(), c.least) << c.name;
  }
  EXPECT_NE(Run("EXEC SP_ZEB_CON_Resumo_Ciclo2 " + child_ + ", 'N'").rows,
            Run("EXEC SP_ZEB_CON_Resumo_Ciclo2 " + parent_ + ", 'N'").rows);

  // The header's trip columns (vehicles, driver, arrivals, route, verdict)
  // are the parent's; the order, number, product and parties its own.
  const auto header = [&](const std::string& a) {
    return Run("EXEC SP_ZEB_CON_Dados_Doc_Viagem11" + a).rows.at(0);
  };
  const std::vector<Value> moved = header(args(child_, parent_, "S"));
  const std::vector<Value> own = header(args(child_, child_, "N"));
  const std::vector<Value> trip = header(args(parent_, parent_, "N"));
  const std::set<std::size_t> trip_columns = {2, 3, 4, 5, 7, 8, 9, 10, 14, 15};
  ASSERT_EQ(moved.size(), 16u);
  for (std::size_t c = 0; c < moved.size(); ++c) {
    EXPECT_EQ(moved[c], trip_columns.count(c) ? trip[c] : own[c]) << "column " << c;
  }
  EXPECT_NE(own[1], trip[1]);
}

TEST_F(Procedures, TrackingIsInTimeOrderAndCustomersSeeOnlyTheirTypes) {
  std::size_t all = 0;
  std::size_t seen = 0;
  for (const auto& row : Run("SELECT docto_transporte_id FROM docto_transporte").rows) {
    const std::string doc = ToString(row[0]);
    const std::string args = doc + ", " + doc + ", 'N'";
    const std::string occurrences =
        "SELECT m.desc_tipo_macro, t.data_tracking, t.odometro FROM tracking_mensagem t JOIN "
        "tipo_macro m ON m.tipo_macro_id = t.tipo_macro_id WHERE t.docto_transporte_id = " +
        doc;
    const std::string in_order = " ORDER BY t.data_tracking, t.tracking_mensagem_id";
    const db::Table staff = Run("EXEC SP_ZEB_CON_TRACKING_CICLO5 " + args);
    const db::Table customer = Run("EXEC SP_ZEB_CON_TRACK_CICLO_CLI5 " + args);
    EXPECT_EQ(staff.rows, Run(occurrences + in_order).rows) << doc;
    EXPECT_EQ(customer.rows, Run(occurrences + " AND m.visivel_cliente = 'S'" + in_order).rows)
        << doc;
    all += staff.rows.size();
    seen += customer.rows.size();
  }
  EXPECT_GT(seen, 0u);
  EXPECT_LT(seen, all) << "some types are hidden from customers";
}

TEST_F(Procedures, DocumentLookupMatchesTheTypedNumbersNarrowedByTheCaller) {
  const std::string order = Quoted(s_.multi_document_order);
  const std::string invoice =
      Quoted(One("SELECT num_nota_fiscal FROM nota_fiscal WHERE docto_transporte_id = " + plain_));
  const std::string number = One(
      "SELECT num_docto_transporte FROM docto_transporte WHERE docto_transporte_id = " + plain_);
  const std::string customer =
      One("SELECT cliente_id FROM docto_transporte WHERE docto_transporte_id = " + plain_);
  const db::Table grouped = Run(
      "SELECT d.num_docto_transporte, c.grupo_cliente_id FROM docto_transporte d JOIN cliente c "
      "ON c.cliente_id = d.cliente_id WHERE c.grupo_cliente_id IS NOT NULL LIMIT 1");
  // A trip made with a supplier's tractor (or trailer), the other vehicle not its.
  const auto hired = [&](const std::string& vehicle, const std::string& other) {
    return Run("SELECT d.num_docto_transporte, v.fornecedor_id FROM docto_transporte d JOIN " +
               vehicle + " v ON v." + vehicle + "_id = d." + vehicle + "_id LEFT JOIN " + other +
               " o ON o." + other + "_id = d." + other +
               "_id WHERE v.fornecedor_id IS NOT NULL AND o.fornecedor_id IS NOT v.fornecedor_id "
               "LIMIT 1");
  };
  const db::Table tractor = hired("cavalo", "carreta");
  const db::Table trailer = hired("carreta", "cavalo");
  const auto at = [](const db::Table& t, std::size_t c) { return ToString(t.rows.at(0).at(c)); };
  const std::string ordered =
      "SELECT d.docto_transporte_id FROM docto_transporte d JOIN pedido p ON p.pedido_id = "
      "d.pedido_id WHERE p.num_pedido = " +
      order;
  const std::string numbered =
      "SELECT d.docto_transporte_id FROM docto_transporte d JOIN cliente c ON c.cliente_id = "
      "d.cliente_id JOIN cavalo cv ON cv.cavalo_id = d.cavalo_id LEFT JOIN carreta cr ON "
      "cr.carreta_id = d.carreta_id WHERE d.num_docto_transporte = ";
  const std::string none = "NULL, NULL, NULL, NULL, NULL, NULL";
  const auto supplied = [&](const db::Table& t) {
    return numbered + at(t, 0) + " AND (cv.fornecedor_id = " + at(t, 1) +
           " OR cr.fornecedor_id = " + at(t, 1) + ")";
  };
  // Typed: order, invoice, number. Caller: company, customer, customer
  // group, supplier, collaborator, its type.
  const struct {
    const char* name;
    std::string typed, caller, expected;
    bool narrows = false;
  } cases[] = {
      {"order", order + ", NULL, NULL", none, ordered},
      {"invoice", "NULL, " + invoice + ", NULL", none,
       "SELECT docto_transporte_id FROM nota_fiscal WHERE num_nota_fiscal = " + invoice},
      {"number", "NULL, NULL, " + number, none, numbered + number},
      {"an empty invoice and a zero number are not given", order + ", '', 0", none, ordered},
      {"nothing given", "NULL, NULL, NULL", none, kNothing},
      {"zero identifiers", "NULL, NULL, " + number, "0, 0, 0, 0, 0, 0", numbered + number},
      {"company", "NULL, NULL, " + number, "2, NULL, NULL, NULL, NULL, NULL",
       numbered + number + " AND d.empresa_id = 2", true},
      {"customer", "NULL, NULL, " + number, "NULL, " + customer + ", NULL, NULL, NULL, NULL",
       numbered + number + " AND d.cliente_id = " + customer, true},
      {"customer group", "NULL, NULL, " + at(grouped, 0),
       "NULL, NULL, " + at(grouped, 1) + ", NULL, NULL, NULL",
       numbered + at(grouped, 0) + " AND c.grupo_cliente_id = " + at(grouped, 1), true},
      {"supplier of the tractor", "NULL, NULL, " + at(tractor, 0),
       "NULL, NULL, NULL, " + at(tractor, 1) + ", NULL, NULL", supplied(tractor), true},
      {"supplier of the trailer", "NULL, NULL, " + at(trailer, 0),
       "NULL, NULL, NULL, " + at(trailer, 1) + ", NULL, NULL", supplied(trailer), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto call = [&](const std::string& caller) {
      return Ids(Run("EXEC SP_ZEB_CON_Docto_Transporte_ID6 " + c.typed + ", " + caller));
    };
    const std::vector<std::int32_t> found = call(c.caller);
    EXPECT_EQ(found, Ids(Run(c.expected)));
    EXPECT_EQ(found.empty(), c.expected == kNothing);
    EXPECT_TRUE(!c.narrows || found.size() < call(none).size()) << found.size();
  }
}

TEST_F(Procedures, CollaboratorsSeeTheDocumentsOfTheirScope) {
  const db::Table trip =
      Run("SELECT motorista_id, empresa_id, ponto_operacao_id, num_docto_transporte "
          "FROM docto_transporte WHERE docto_transporte_id = " +
          plain_);
  const auto field = [&](std::size_t c) { return ToString(trip.rows.at(0).at(c)); };
  const std::string driver = field(0);
  const std::string company = "c.empresa_id = " + field(1);
  const std::string point = "c.ponto_operacao_id = " + field(2);
  // The first collaborator but the document's driver that `where` picks.
  const auto staff = [&](const std::string& where) {
    return One(
        "SELECT c.colaborador_id FROM colaborador c JOIN tab_tipo_colaborador t ON "
        "t.tab_tipo_colaborador_id = c.tab_tipo_colaborador_id WHERE c.colaborador_id <> " +
        driver + " AND " + where + " ORDER BY 1 LIMIT 1");
  };
  const std::string other_driver = staff("t.escopo = 'M' AND " + company);
  const struct {
    const char* name;
    std::string who;
    bool sees;
  } cases[] = {
      {"its driver", driver + ", NULL", true},
      {"another driver", other_driver + ", NULL", false},
      {"staff of its point", staff("t.escopo = 'P' AND " + company + " AND " + point) + ", 0",
       true},
      {"staff of another point",
       staff("t.escopo = 'P' AND " + company + " AND NOT " + point) + ", NULL", false},
      {"staff of its company", staff("t.escopo = 'E' AND " + company) + ", NULL", true},
      {"staff of another company", staff("t.escopo = 'E' AND NOT " + company) + ", NULL", false},
      // The type given (2, the traffic operator's) overrides its own.
      {"a driver given a company-wide type", other_driver + ", 2", true},
  };
  for (const auto& c : cases) {
    const std::vector<std::int32_t> found =
        Ids(Run("EXEC SP_ZEB_CON_Docto_Transporte_ID6 NULL, NULL, " + field(3) +
                ", NULL, NULL, NULL, NULL, " + c.who));
    EXPECT_EQ(std::count(found.begin(), found.end(), s_.plain_document_id), c.sees ? 1 : 0)
        << c.name;
  }
}

TEST_F(Procedures, PublishedOrderLookupFiltersByCompanyIssueDatesAndConsignee) {
  const std::string order = Quoted(s_.multi_document_order);
  const std::string company = std::to_string(s_.multi_document_order_company_id);
  const std::string joins =
      " FROM docto_transporte d JOIN pedido p ON p.pedido_id = d.pedido_id JOIN parceiro dst ON "
      "dst.parceiro_id = d.destinatario_id WHERE ";
  const std::string from = "SELECT d.docto_transporte_id" + joins;
  const std::string anywhere = from + "p.num_pedido = " + order;
  const std::string in_company = anywhere + " AND p.empresa_id = " + company;
  // A day after the first issue and a day before the last: a bound one day
  // too wide takes in a document.
  const db::Table span =
      Run("SELECT date(min(data_emissao), '+1 day'), date(max(data_emissao), '-1 day') FROM "
          "docto_transporte WHERE docto_transporte_id IN (" +
          in_company + ")");
  const std::string first = ToString(span.rows.at(0).at(0));
  const std::string last = ToString(span.rows.at(0).at(1));
  const std::string ranged =
      in_company + " AND d.data_emissao BETWEEN '" + first + "' AND '" + last + "'";
  const std::string cgc = s_.consignee_cgc;
  const std::string by_cgc = in_company + " AND dst.cgc = '" + cgc + "'";
  const db::Table person = Run("SELECT p.num_pedido, p.empresa_id, dst.cpf" + joins +
                               "dst.cpf IS NOT NULL ORDER BY d.docto_transporte_id LIMIT 1");
  const auto of_person = [&](std::size_t c) { return ToString(person.rows.at(0).at(c)); };
  // Company as text, unused, order, first and last issue, CGC, CPF.
  const auto args = [&](const std::string& who, const std::string& what,
                        const std::string& tail = "NULL, NULL, NULL, NULL") {
    return who + ", NULL, " + what + ", " + tail;
  };
  const std::string in = "'" + company + "'";
  const struct {
    const char* name;
    std::string args, expected;  // no expected query: no row at all
  } cases[] = {
      {"the order in its company", args(in, order), in_company},
      {"the order in every company", args("NULL", order), anywhere},
      {"an unknown company", args("'999'", order), ""},
      {"a company that is no number", args("'abc'", order), ""},
      {"issued between two days", args(in, order, "'" + first + "', '" + last + "', NULL, NULL"),
       ranged},
      {"two days with a time of day",
       args(in, order, "'" + first + " 00:00:00', '" + last + " 00:00:00', NULL, NULL"), ranged},
      {"issued from a day on", args(in, order, "'" + first + "', NULL, NULL, NULL"),
       in_company + " AND d.data_emissao >= '" + first + "'"},
      {"the consignee's CGC", args(in, order, "NULL, NULL, '" + cgc + "', NULL"), by_cgc},
      {"the CGC punctuated after a blank",
       args(in, order, "NULL, NULL, ' " + Punctuated(cgc) + "', NULL"), by_cgc},
      {"an unknown CGC", args(in, order, "NULL, NULL, '00.000.000/0000-00', NULL"), kNothing},
      {"the consignee's CPF",
       args("'" + of_person(1) + "'", Quoted(of_person(0)),
            "NULL, NULL, NULL, '" + Punctuated(of_person(2)) + "'"),
       from + "p.num_pedido = " + Quoted(of_person(0)) + " AND p.empresa_id = " + of_person(1) +
           " AND dst.cpf = '" + of_person(2) + "'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const db::Table found = Run("EXEC SP_ZEB_CONS_pedido_PUBL " + c.args);
    if (c.expected.empty()) {
      EXPECT_TRUE(found.rows.empty());
      continue;
    }
    const std::vector<std::int32_t> expected = Ids(Run(c.expected));
    EXPECT_EQ(Ids(found, 2), expected);
    EXPECT_EQ(expected.empty(), c.expected == kNothing);
    // Every row counts what was found, oldest issue first; nothing found is one row of zeros.
    ASSERT_EQ(found.rows.size(), std::max<std::size_t>(expected.size(), 1));
    for (std::size_t r = 0; r < found.rows.size(); ++r) {
      EXPECT_EQ(found.rows[r][0], Value::Int32(static_cast<std::int32_t>(expected.size())));
      EXPECT_EQ(found.rows[r][1], Value::Int32(expected.empty() ? 0 : 1));
      EXPECT_TRUE(r == 0 || ToDouble(found.rows[r - 1][4]) <= ToDouble(found.rows[r][4])) << r;
    }
  }
  for (const std::string& narrower : {ranged, by_cgc}) {
    EXPECT_LT(Ids(Run(narrower)).size(), Ids(Run(in_company)).size()) << narrower;
  }
}

}  // namespace
}  // namespace zebevi::schema::test
