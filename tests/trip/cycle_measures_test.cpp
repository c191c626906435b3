// mBusca_Apuracao on fixture databases.
#include <gtest/gtest.h>

#include <array>

#include "trip_fixture.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

using ::zebevi::testing::CommandLog;
using ::zebevi::testing::Detail;
using ::zebevi::testing::FixtureDatabase;
using ::zebevi::testing::kClientes;

constexpr std::string_view kColumns =
    "Km_total, km_ate_rem, km_rem_dest, km_apos_dest, tempo_operacao, tempo_transporte, "
    "tempo_ate_rem, tempo_retorno, Tempo_proc, tempo_carga, tempo_descarga, tempo_janela_espera, "
    "tempo_ant_carga, tempo_pos_carga, tempo_ant_desc, tempo_pos_desc, tempo_rem_dest";

// Document 1 has two rows (the second must be ignored); document 2 a return
// time that no conversion takes.
const std::string kCycles = std::string(R"sql(
CREATE TABLE ciclo (doc INTEGER, ord INTEGER, )sql") +
                            std::string(kColumns) + R"sql();
INSERT INTO ciclo VALUES
  (1, 1, 1250.5, 300, NULL, 50.25, 5400, 120, 3600, 86400, 90061, 59.5, 3599, 360000,
   2147483647, 180, NULL, 7200, 240),
  (1, 2, 1, 1, 1, 1, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60),
  (2, 1, 10, 20, 30, 40, 5400, 120, 3600, 2147483648, 1, 1, 1, 1, 1, 1, 1, 1, 1);
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_Resumo_Ciclo2',
  'SELECT ciclo.*, ?2 AS flag FROM ciclo WHERE doc = ?1 ORDER BY ord');
)sql";

// The seventeen outputs in interface order, then the message.
struct Cycle {
  std::array<Value, 17> out;
  Value message = "earlier";
  bool result = false;

  Cycle() { out.fill(Value("in")); }

  // Interface order: four distances, then Operacao, Transporte, Ate_Rem,
  // Retorno, Total_Carga_Desc, Carga, Descarga, Janela_Espera, Pos_Carga,
  // Pos_desc, Ant_Carga, Ant_Desc, Rem_Des.
  void Run(DbConnectionRef connection, Value document, std::string flag = "N",
           Value user = Value::Int32(5)) {
    Value empresa;
    result = CreateEVI()->mBusca_Apuracao(user, empresa, document, connection, out[0], out[1],
                                          out[2], out[3], out[4], out[5], out[6], out[7], out[8],
                                          out[9], out[10], out[11], out[12], out[13], out[14],
                                          out[15], out[16], flag, message);
  }
};

class CycleMeasuresTest : public ::testing::Test {
 protected:
  FixtureDatabase db_{kCycles};
  DbConnectionRef connection_ = db_.Open();
};

TEST_F(CycleMeasuresTest, GivesDistancesAsNumbersAndTimesAsHoursAndMinutes) {
  CommandLog log;
  Cycle cycle;
  cycle.Run(connection_, Value("1"), "S");
  EXPECT_EQ(log.commands(), std::vector<std::string>{"Exec SP_ZEB_CON_Resumo_Ciclo2 1, 'S'"});
  EXPECT_TRUE(cycle.result);
  const std::array<Value, 17> expected{
      Value::Double(1250.5), Value::Int32(300), Value::Int32(0), Value::Double(50.25),
      Value("01:30"),      // tempo_operacao 5400
      Value("00:02"),      // tempo_transporte 120
      Value("01:00"),      // tempo_ate_rem 3600
      Value("24:00"),      // tempo_retorno 86400
      Value("25:01"),      // Tempo_proc 90061, not a sum
      Value("00:01"),      // tempo_carga 59.5
      Value("00:59"),      // tempo_descarga 3599
      Value("100:00"),     // tempo_janela_espera 360000
      Value("00:03"),      // tempo_pos_carga 180
      Value("02:00"),      // tempo_pos_desc 7200
      Value("596523:14"),  // tempo_ant_carga 2147483647
      Value("00:00"),      // tempo_ant_desc null
      Value("00:04"),      // tempo_rem_dest 240
  };
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(cycle.out[i], expected[i]) << "output " << i;
  }
  EXPECT_EQ(cycle.message, Value("earlier"));

  Cycle without_flag;
  without_flag.Run(connection_, Value::Int32(1), "");
  EXPECT_EQ(log.commands().back(), "Exec SP_ZEB_CON_Resumo_Ciclo2 1, NULL");
}

TEST_F(CycleMeasuresTest, AFailedConversionStopsWithTheLaterOutputsUntouched) {
  Cycle cycle;
  cycle.Run(connection_, Value::Int32(2), "N", Value("1"));
  EXPECT_FALSE(cycle.result);
  EXPECT_EQ(cycle.message,
            Value("Acesso a informações de tracking não disponível. Favor tentar mais tarde."))
      << "the conversion's own message, with no detail";
  const std::array<Value, 7> written{Value::Int32(10), Value::Int32(20), Value::Int32(30),
                                     Value::Int32(40), Value("01:30"),   Value("00:02"),
                                     Value("01:00")};
  for (std::size_t i = 0; i < written.size(); ++i) EXPECT_EQ(cycle.out[i], written[i]) << i;
  for (std::size_t i = written.size(); i < cycle.out.size(); ++i) {
    EXPECT_EQ(cycle.out[i], Value("in")) << "output " << i;
  }
}

TEST_F(CycleMeasuresTest, NoRowTouchesNoOutputAndNoDocumentRunsNoQuery) {
  Cycle cycle;
  cycle.Run(connection_, Value::Int32(404));
  EXPECT_TRUE(cycle.result);
  for (const Value& out : cycle.out) EXPECT_EQ(out, Value("in"));
  EXPECT_EQ(cycle.message, Value("earlier"));

  CommandLog log;
  Cycle missing;
  missing.Run(connection_, Value::Int32(0));
  EXPECT_FALSE(missing.result);
  EXPECT_EQ(missing.message, Value("Informe um documento de Transporte. "));
  EXPECT_TRUE(log.commands().empty());
}

TEST(CycleMeasures, AMissingColumnFailsAfterTheDistancesAreWritten) {
  FixtureDatabase db{R"sql(
    INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_Resumo_Ciclo2',
      'SELECT 1 AS Km_total, 2 AS km_ate_rem, 3 AS km_rem_dest, 4 AS km_apos_dest,
              5 AS tempo_operacao, 6 AS tempo_transporte, 7 AS tempo_ate_rem,
              8 AS tempo_retorno, ?1 AS doc, ?2 AS flag');)sql"};
  Cycle cycle;
  cycle.Run(db.Open(), Value::Int32(1), "N", Value("1"));
  EXPECT_FALSE(cycle.result);
  ASSERT_EQ(cycle.message.kind(), Kind::kString);
  const std::string& message = cycle.message.string();
  EXPECT_EQ(message.rfind(kClientes.string() + "mBusca_Apuracao ( ", 0), 0u) << message;
  EXPECT_TRUE(message.ends_with(")   No Nº 2110")) << message;
  EXPECT_EQ(cycle.out[3], Value::Int32(4));
  EXPECT_EQ(cycle.out[4], Value("in")) << "no time is converted before all are read";
}

TEST(CycleMeasures, AFailingProcedureReportsTheOpeningStep) {
  FixtureDatabase db{""};
  CommandLog log;
  Cycle cycle;
  cycle.Run(db.Open(), Value::Int32(1), "N", Value::Int32(1));
  EXPECT_FALSE(cycle.result);
  EXPECT_EQ(cycle.message, kClientes & Detail("mBusca_Apuracao ( ", log.last_error(), 1970));
}

}  // namespace
}  // namespace zebevi
