#include "schema/generator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>

#include "schema/brazil.h"
#include "schema/reader.h"

namespace zebevi::schema::test {
namespace {

using zebevi::testing::TempDir;

using zebevi::testing::ReadWhole;

TEST(Generator, SameSeedGivesSameContentAndAnotherSeedDoesNot) {
  TempDir dir;
  for (const auto& [name, seed] : {std::pair{"a.db", 7}, {"b.db", 7}, {"c.db", 8}}) {
    GenerateSqlite(dir / name, Options(100, seed));
  }
  EXPECT_TRUE(ReadWhole(dir / "a.db") == ReadWhole(dir / "b.db"));
  EXPECT_FALSE(ReadWhole(dir / "a.db") == ReadWhole(dir / "c.db"));
}

TEST(Generator, NeverTouchesAnExistingFile) {
  TempDir dir;
  const auto path = dir / "precious.db";
  std::ofstream(path) << "keep me";
  try {
    GenerateSqlite(path, Options(20));
    ADD_FAILURE() << "an existing file was accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("already exists"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadWhole(path), "keep me");
}

TEST(Generator, FailureLeavesNoFileBehind) {
  TempDir dir;
  EXPECT_THROW(GenerateSqlite(dir / "small.db", Options(kMinimumDocuments - 1)),
               std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir / "small.db"));

  GeneratorOptions options = Options(3000);
  options.progress = [](std::int64_t done, std::int64_t) {
    if (done >= 2048) throw std::runtime_error("cancelled");
  };
  EXPECT_THROW(GenerateSqlite(dir / "cancelled.db", options), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir / "cancelled.db"));

  EXPECT_THROW(GenerateSqlite(dir / "missing" / "folder.db", Options(20)), std::runtime_error);
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

// The summary's counts, and the kinds of rows the engine suites rely on.
TEST(Generator, SummaryCountsMatchTheTables) {
  const GeneratorSummary& summary = Reference().summary;
  Reader db(Reference().connection_string);
  EXPECT_EQ(summary.documents, testing::kReferenceDocuments);
  // The grants of the feature flags (114 to 126) of a user group.
  const auto grants = [](std::int64_t group, const char* presence) {
    return "count(*) FROM GRUPO_USUARIO_PARTICUL WHERE PARTICUL_FUNCAO_ID BETWEEN 114 AND 126 "
           "AND presenca_particularidade LIKE '" +
           std::string(presence) +
           "' AND "
           "Grupo_Usuario_Id = " +
           std::to_string(group);
  };
  const std::pair<std::string, std::int64_t> counts[] = {
      {"count(*) FROM docto_transporte", summary.documents},
      {"count(*) FROM pedido", summary.orders},
      {"count(*) FROM nota_fiscal", summary.invoices},
      {"count(*) FROM tracking_mensagem", summary.occurrences},
      {"count(*) FROM resumo_ciclo", summary.cycles},
      {"count(DISTINCT docto_transp_pai_id) FROM troca_docto_transp", summary.exchanges},
      {"count(*) FROM troca_docto_transp", summary.exchanged_children},
      {"count(*) FROM rota", summary.routes},
      {"count(*) FROM parceiro", summary.parties},
      {"count(*) FROM cliente", summary.customers},
      {"count(*) FROM docto_transporte d JOIN pedido p ON p.pedido_id = d.pedido_id WHERE "
       "p.num_pedido = '" +
           summary.multi_document_order + "'",
       summary.multi_document_order_documents},
      {"empresa_id FROM grupo_usuario WHERE grupo_usuario_id = " +
           std::to_string(summary.granted_user_group_id),
       summary.granted_user_group_company_id},
      {"count(*) FROM PARTICUL_FUNCAO WHERE PARTICUL_FUNCAO_ID = 114 AND "
       "desc_particul_funcao = 'Número do pedido'",
       1},
      {grants(summary.refused_user_group_id, "S"), 0},
      {grants(summary.empty_user_group_id, "%"), 0}};
  for (const auto& [what, expected] : counts) {
    EXPECT_EQ(db.Count("SELECT " + what), expected) << what;
  }
  // Some of the thirteen for the granted group; for the refused one, rows that say 'N'.
  EXPECT_GE(db.Count("SELECT " + grants(summary.granted_user_group_id, "S")), 3);
  EXPECT_LT(db.Count("SELECT " + grants(summary.granted_user_group_id, "S")), 13);
  EXPECT_GT(db.Count("SELECT " + grants(summary.refused_user_group_id, "N")), 0);
  std::int64_t rows = 0;
  for (const auto& table : db.Query("SELECT name FROM sqlite_master WHERE type = 'table' "
                                    "AND name NOT IN ('zeb_procedure', 'sqlite_stat1')")
                               .rows) {
    rows += db.Count("SELECT count(*) FROM " + table[0].string());
  }
  EXPECT_EQ(rows, summary.rows);
}

TEST(Generator, BuildsIndexesCatalogAndStatistics) {
  Reader db(Reference().connection_string);
  EXPECT_EQ(db.Count("SELECT count(*) FROM zeb_procedure"), 9);
  EXPECT_EQ(db.Count("SELECT count(*) FROM sqlite_master WHERE type = 'index' "
                     "AND name = 'ix_tracking_mensagem_docto'"),
            1);
  EXPECT_GT(db.Count("SELECT count(*) FROM sqlite_stat1"), 0);
  // The catalog's names are found whatever their case.
  EXPECT_EQ(db.Count("SELECT count(*) FROM zeb_procedure WHERE name = 'sp_zeb_con_tempo_km_rota'"),
            1);
}

// Proportions on a larger set, where chance evens out.
TEST(Generator, ProportionsAndRangesAreRealistic) {
  TempDir dir;
  const GeneratorSummary summary = GenerateSqlite(dir / "large.db", Options(4000, 99));
  Reader db(testing::SqliteConnection(dir / "large.db"));
  const auto share = [&](std::string_view where) {
    return static_cast<double>(
               db.Count("SELECT count(*) FROM docto_transporte d WHERE " + std::string(where))) /
           4000.0;
  };
  const double exchanged =
      static_cast<double>(summary.exchanges + summary.exchanged_children) / 4000;
  EXPECT_GT(exchanged, 0.14);
  EXPECT_LT(exchanged, 0.28);
  EXPECT_GT(share("rota_id IS NULL"), 0.10);
  EXPECT_LT(share("rota_id IS NULL"), 0.20);
  const double uncycled = share(
      "NOT EXISTS (SELECT 1 FROM resumo_ciclo r WHERE r.docto_transporte_id = "
      "d.docto_transporte_id)");
  EXPECT_GT(uncycled, 0.03);
  EXPECT_LT(uncycled, 0.08);

  // Children per exchange, invoices and occurrences per document.
  const std::tuple<const char*, std::int32_t, std::int32_t> per_parent[] = {
      {"troca_docto_transp GROUP BY docto_transp_pai_id", 1, 4},
      {"nota_fiscal GROUP BY docto_transporte_id", 1, 5},
      {"tracking_mensagem GROUP BY docto_transporte_id", 3, 20}};
  for (const auto& [rows, least, most] : per_parent) {
    const db::Table range = db.Query("SELECT min(n), max(n) FROM (SELECT count(*) AS n FROM " +
                                     std::string(rows) + ")");
    EXPECT_EQ(range.rows.at(0), (std::vector<Value>{Value::Int32(least), Value::Int32(most)}))
        << rows;
  }
  EXPECT_EQ(db.Count("SELECT count(DISTINCT docto_transporte_id) FROM nota_fiscal"), 4000);
  for (const char* some : {"nota_fiscal WHERE val_declarado > 1000000",
                           "nota_fiscal WHERE val_declarado <> round(val_declarado)",
                           "nota_fiscal WHERE val_declarado = round(val_declarado)",
                           "resumo_ciclo WHERE tempo_rem_dest > 86400"}) {
    EXPECT_GT(db.Count("SELECT count(*) FROM " + std::string(some)), 0) << some;
  }
  for (const char* none : {"docto_transporte WHERE data_emissao < '2024-01-01' OR "
                           "data_entrega >= '2027-01-01'",
                           "nota_fiscal WHERE data_emissao < '2024-01-01'"}) {
    EXPECT_EQ(db.Count("SELECT count(*) FROM " + std::string(none)), 0) << none;
  }
}

TEST(Generator, RowsAreConsistent) {
  Reader db(Reference().connection_string);
  // Tracking moves forward in time and distance.
  EXPECT_EQ(db.Count("SELECT count(*) FROM tracking_mensagem a JOIN tracking_mensagem b "
                     "ON b.docto_transporte_id = a.docto_transporte_id "
                     "AND b.tracking_mensagem_id = a.tracking_mensagem_id + 1 "
                     "WHERE b.data_tracking < a.data_tracking OR b.odometro < a.odometro"),
            0);
  // The verdict follows the arrival times; documents under way have none.
  EXPECT_EQ(db.Count("SELECT count(*) FROM docto_transporte WHERE flag_no_prazo IS NOT "
                     "CASE WHEN data_chegada_cliente_prevista IS NULL THEN 'I' "
                     "WHEN data_chegada_cliente_efetiva IS NULL THEN NULL "
                     "WHEN data_chegada_cliente_efetiva <= data_chegada_cliente_prevista "
                     "THEN 'S' ELSE 'N' END"),
            0);
  // The cycle's totals are the sums of their parts.
  EXPECT_EQ(db.Count("SELECT count(*) FROM resumo_ciclo WHERE tempo_proc <> tempo_carga + "
                     "tempo_descarga OR tempo_transporte <> tempo_pos_carga + tempo_rem_dest + "
                     "tempo_ant_desc OR tempo_operacao <> tempo_ate_rem + tempo_ant_carga + "
                     "tempo_carga + tempo_transporte + tempo_descarga + tempo_pos_desc + "
                     "tempo_retorno OR abs(km_total - km_ate_rem - km_rem_dest - km_apos_dest) "
                     "> 0.001"),
            0);
  // A child belongs to one exchange, and no parent is a child.
  EXPECT_EQ(db.Count("SELECT count(*) FROM troca_docto_transp WHERE docto_transp_pai_id IN "
                     "(SELECT docto_transp_filho_id FROM troca_docto_transp)"),
            0);
  EXPECT_TRUE(db.Query("PRAGMA foreign_key_check").rows.empty());
}

TEST(Generator, TaxNumbersAndPlatesAreWellFormedAndPlatesUnique) {
  Reader db(Reference().connection_string);
  for (const auto& row :
       db.Query("SELECT cgc FROM parceiro WHERE cgc IS NOT NULL UNION ALL "
                "SELECT cgc FROM empresa UNION ALL SELECT cgc FROM fornecedor UNION "
                "ALL SELECT cpf FROM parceiro WHERE cpf IS NOT NULL UNION ALL "
                "SELECT cpf FROM colaborador")
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
    EXPECT_TRUE(std::regex_match(row[0].string(), plate));
  }
  EXPECT_EQ(db.Count("SELECT count(*) - count(DISTINCT placa) FROM "
                     "(SELECT placa FROM cavalo UNION ALL SELECT placa FROM carreta)"),
            0);
}

}  // namespace
}  // namespace zebevi::schema::test
