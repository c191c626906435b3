#include "schema/generator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <regex>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "schema/brazil.h"
#include "schema/reader.h"

namespace zebevi::schema::test {
namespace {

using zebevi::testing::ReadWhole;
using zebevi::testing::TempDir;

constexpr std::int64_t kSome = std::numeric_limits<std::int64_t>::max();

// What "SELECT <what>" counts, between least and most.
struct Bound {
  std::string what;
  std::int64_t least, most;
};

void ExpectWithin(Reader& db, const std::vector<Bound>& bounds) {
  for (const auto& [what, least, most] : bounds) {
    const std::int64_t n = db.Count("SELECT " + what);
    EXPECT_GE(n, least) << what;
    EXPECT_LE(n, most) << what;
  }
}

TEST(Generator, SameSeedGivesSameContentAndAnotherSeedDoesNot) {
  TempDir dir;
  for (const auto& [name, seed] : {std::pair{"a.db", 7}, {"b.db", 7}, {"c.db", 8}}) {
    GenerateSqlite(dir / name, Options(100, seed));
  }
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

TEST(Generator, ReportsProgressUpToTheTotal) {
  TempDir dir;
  std::int64_t last = 0;
  int calls = 0;
  GeneratorOptions options = Options(2500);
  options.progress = [&](std::int64_t done, std::int64_t total) {
    EXPECT_EQ(total, 2500);
    EXPECT_GE(done, last);
    last = done;
    ++calls;
  };
  GenerateSqlite(dir / "progress.db", options);
  EXPECT_EQ(last, 2500);
  EXPECT_GE(calls, 3);
}

// The summary's counts, the rows the engine suites rely on, and rows that
// agree with each other.
TEST(Generator, TheReferenceRowsMatchTheSummaryAndAgree) {
  const GeneratorSummary& s = Reference().summary;
  Reader db(Reference().connection_string);
  EXPECT_EQ(s.documents, testing::kReferenceDocuments);
  // The grants of the thirteen feature flags (114 to 126) of a user group.
  const auto grants = [](std::int64_t group, const char* presence) {
    return "count(*) FROM GRUPO_USUARIO_PARTICUL WHERE PARTICUL_FUNCAO_ID BETWEEN 114 AND 126 "
           "AND presenca_particularidade LIKE '" +
           std::string(presence) + "' AND Grupo_Usuario_Id = " + std::to_string(group);
  };
  const auto exactly = [](std::string what, std::int64_t n) {
    return Bound{std::move(what), n, n};
  };
  ExpectWithin(
      db,
      {
          exactly("count(*) FROM docto_transporte", s.documents),
          exactly("count(*) FROM pedido", s.orders),
          exactly("count(*) FROM nota_fiscal", s.invoices),
          exactly("count(*) FROM tracking_mensagem", s.occurrences),
          exactly("count(*) FROM resumo_ciclo", s.cycles),
          exactly("count(DISTINCT docto_transp_pai_id) FROM troca_docto_transp", s.exchanges),
          exactly("count(*) FROM troca_docto_transp", s.exchanged_children),
          exactly("count(*) FROM rota", s.routes),
          exactly("count(*) FROM parceiro", s.parties),
          exactly("count(*) FROM cliente", s.customers),
          exactly("count(*) FROM docto_transporte d JOIN pedido p ON p.pedido_id = d.pedido_id "
                  "WHERE p.num_pedido = '" +
                      s.multi_document_order + "'",
                  s.multi_document_order_documents),
          exactly("empresa_id FROM grupo_usuario WHERE grupo_usuario_id = " +
                      std::to_string(s.granted_user_group_id),
                  s.granted_user_group_company_id),
          {grants(s.granted_user_group_id, "S"), 3, 12},
          exactly(grants(s.refused_user_group_id, "S"), 0),
          {grants(s.refused_user_group_id, "N"), 1, kSome},
          exactly(grants(s.empty_user_group_id, "%"), 0),
          exactly("count(*) FROM PARTICUL_FUNCAO WHERE PARTICUL_FUNCAO_ID = 114 AND "
                  "desc_particul_funcao = 'Número do pedido'",
                  1),
          // The catalog, its names found whatever their case, an index and the statistics.
          exactly("count(*) FROM zeb_procedure", 9),
          exactly("count(*) FROM zeb_procedure WHERE name = 'sp_zeb_con_tempo_km_rota'", 1),
          exactly("count(*) FROM sqlite_master WHERE name = 'ix_tracking_mensagem_docto'", 1),
          {"count(*) FROM sqlite_stat1", 1, kSome},
          // Tracking moves forward in time and distance.
          exactly("count(*) FROM tracking_mensagem a JOIN tracking_mensagem b ON "
                  "b.docto_transporte_id = a.docto_transporte_id AND b.tracking_mensagem_id = "
                  "a.tracking_mensagem_id + 1 WHERE b.data_tracking < a.data_tracking OR "
                  "b.odometro < a.odometro",
                  0),
          // The verdict follows the arrival times; documents under way have none.
          exactly(
              "count(*) FROM docto_transporte WHERE flag_no_prazo IS NOT CASE WHEN "
              "data_chegada_cliente_prevista IS NULL THEN 'I' WHEN data_chegada_cliente_efetiva "
              "IS NULL THEN NULL WHEN data_chegada_cliente_efetiva <= "
              "data_chegada_cliente_prevista THEN 'S' ELSE 'N' END",
              0),
          // The cycle's totals are the sums of their parts.
          exactly("count(*) FROM resumo_ciclo WHERE tempo_proc <> tempo_carga + tempo_descarga OR "
                  "tempo_transporte <> tempo_pos_carga + tempo_rem_dest + tempo_ant_desc OR "
                  "tempo_operacao <> tempo_ate_rem + tempo_ant_carga + tempo_carga + "
                  "tempo_transporte + tempo_descarga + tempo_pos_desc + tempo_retorno OR "
                  "abs(km_total - km_ate_rem - km_rem_dest - km_apos_dest) > 0.001",
                  0),
          // No parent is a child; plates are unique.
          exactly("count(*) FROM troca_docto_transp WHERE docto_transp_pai_id IN "
                  "(SELECT docto_transp_filho_id FROM troca_docto_transp)",
                  0),
          exactly("count(*) - count(DISTINCT placa) FROM (SELECT placa FROM cavalo UNION ALL "
                  "SELECT placa FROM carreta)",
                  0),
      });
  EXPECT_TRUE(db.Query("PRAGMA foreign_key_check").rows.empty());
  std::int64_t rows = 0;
  for (const auto& table : db.Query("SELECT name FROM sqlite_master WHERE type = 'table' "
                                    "AND name NOT IN ('zeb_procedure', 'sqlite_stat1')")
                               .rows) {
    rows += db.Count("SELECT count(*) FROM " + table[0].string());
  }
  EXPECT_EQ(rows, s.rows);
}

// Proportions on a larger set, where chance evens out.
TEST(Generator, ProportionsAndRangesAreRealistic) {
  TempDir dir;
  GenerateSqlite(dir / "large.db", Options(4000, 99));
  Reader db(testing::SqliteConnection(dir / "large.db"));
  const auto per = [](const char* rows, const char* extreme) {
    return std::string(extreme) + "(n) FROM (SELECT count(*) AS n FROM " + rows + ")";
  };
  ExpectWithin(
      db, {
              // Of 4000 documents: exchanged, without a route, delivered without a measured cycle.
              {"count(DISTINCT docto_transp_pai_id) + count(*) FROM troca_docto_transp", 561, 1119},
              {"count(*) FROM docto_transporte WHERE rota_id IS NULL", 401, 799},
              {"count(*) FROM docto_transporte d WHERE NOT EXISTS (SELECT 1 FROM resumo_ciclo r "
               "WHERE r.docto_transporte_id = d.docto_transporte_id)",
               121, 319},
              // Children per exchange, invoices and occurrences per document.
              {per("troca_docto_transp GROUP BY docto_transp_pai_id", "min"), 1, 1},
              {per("troca_docto_transp GROUP BY docto_transp_pai_id", "max"), 4, 4},
              {per("nota_fiscal GROUP BY docto_transporte_id", "min"), 1, 1},
              {per("nota_fiscal GROUP BY docto_transporte_id", "max"), 5, 5},
              {per("tracking_mensagem GROUP BY docto_transporte_id", "min"), 3, 3},
              {per("tracking_mensagem GROUP BY docto_transporte_id", "max"), 20, 20},
              {"count(DISTINCT docto_transporte_id) FROM nota_fiscal", 4000, 4000},
              {"count(*) FROM nota_fiscal WHERE val_declarado > 1000000", 1, kSome},
              {"count(*) FROM nota_fiscal WHERE val_declarado <> round(val_declarado)", 1, kSome},
              {"count(*) FROM nota_fiscal WHERE val_declarado = round(val_declarado)", 1, kSome},
              {"count(*) FROM resumo_ciclo WHERE tempo_rem_dest > 86400", 1, kSome},
              {"count(*) FROM docto_transporte WHERE data_emissao < '2024-01-01' OR "
               "data_entrega >= '2027-01-01'",
               0, 0},
              {"count(*) FROM nota_fiscal WHERE data_emissao < '2024-01-01'", 0, 0},
          });
}

TEST(Generator, TaxNumbersCarryTheirCheckDigitsAndPlatesTheirForm) {
  Reader db(Reference().connection_string);
  for (const auto& row : db.Query("SELECT cgc FROM parceiro WHERE cgc IS NOT NULL UNION ALL "
                                  "SELECT cgc FROM empresa UNION ALL SELECT cgc FROM fornecedor "
                                  "UNION ALL SELECT cpf FROM parceiro WHERE cpf IS NOT NULL "
                                  "UNION ALL SELECT cpf FROM colaborador")
                             .rows) {
    const std::string& number = row[0].string();
    ASSERT_TRUE(number.size() == 14 || number.size() == 11) << number;
    EXPECT_EQ(number.size() == 14
                  ? Cgc(std::stoll(number.substr(0, 8)), std::stoi(number.substr(8, 4)))
                  : Cpf(std::stoll(number.substr(0, 9))),
              number);
  }
  const std::regex plate("[A-Z]{3}[0-9][A-Z0-9][0-9]{2}");
  for (const auto& row :
       db.Query("SELECT placa FROM cavalo UNION ALL SELECT placa FROM carreta").rows) {
    EXPECT_TRUE(std::regex_match(row[0].string(), plate)) << row[0].string();
  }
}

}  // namespace
}  // namespace zebevi::schema::test
