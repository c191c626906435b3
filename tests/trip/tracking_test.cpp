// mBusca_Dados_Viagem on fixture databases.
#include <gtest/gtest.h>

#include "trip_fixture.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

using ::zebevi::testing::CommandLog;
using ::zebevi::testing::Detail;
using ::zebevi::testing::FixtureDatabase;
using ::zebevi::testing::kClientes;

// The customer's view leaves out the occurrences not meant for customers.
constexpr std::string_view kTracking = R"sql(
CREATE TABLE oc (doc INTEGER, ord INTEGER, DESC_TIPO_MACRO TEXT, data_tracking DATETIME,
                 odometro, visivel TEXT);
INSERT INTO oc VALUES
  (1, 1, ' Início de viagem ', '2026-03-05 14:07:09', 123456.7, 'S'),
  (1, 2, 'Parada para descanso', '2026-03-05 22:30:00', 123789, 'N'),
  (1, 3, 'Chegada no cliente', '2026-03-06 08:05:59', NULL, 'S');
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_TRACKING_CICLO5',
  'SELECT DESC_TIPO_MACRO, data_tracking, odometro, ?2 AS pai, ?3 AS flag
     FROM oc WHERE doc = ?1 ORDER BY ord');
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_TRACK_CICLO_CLI5',
  'SELECT DESC_TIPO_MACRO, data_tracking, odometro, ?2 AS pai, ?3 AS flag
     FROM oc WHERE doc = ?1 AND visivel = ''S'' ORDER BY ord');
)sql";

struct Occurrences {
  Value qtde = "in";
  Value descricoes = Value::Array({Value("old")});
  Value datas;
  Value odometros;
  Value message = "earlier";
  bool result = false;

  void Run(DbConnectionRef connection, Value document, Value cliente = Value(),
           Value grupo = Value(), std::int32_t pai = 0, std::string flag = "N",
           Value user = Value::Int32(5)) {
    Value empresa;
    result =
        CreateEVI()->mBusca_Dados_Viagem(user, empresa, cliente, grupo, document, pai, connection,
                                         qtde, descricoes, datas, odometros, flag, message);
  }
};

class TrackingTest : public ::testing::Test {
 protected:
  FixtureDatabase db_{kTracking};
  DbConnectionRef connection_ = db_.Open();
};

TEST_F(TrackingTest, ListsTheOccurrencesWithDayFirstDatesWithoutSeconds) {
  CommandLog log;
  Occurrences list;
  list.Run(connection_, Value("1"), Value(), Value(), 1000, "S");
  EXPECT_EQ(log.commands(),
            std::vector<std::string>{"Exec SP_ZEB_CON_TRACKING_CICLO5 1, 1000, 'S' "});
  EXPECT_TRUE(list.result);
  EXPECT_EQ(list.qtde, Value::Int32(3));
  EXPECT_EQ(list.descricoes, Value::Array({Value("Início de viagem"), Value("Parada para descanso"),
                                           Value("Chegada no cliente")}));
  EXPECT_EQ(list.datas, Value::Array({Value("05/03/2026 14:07"), Value("05/03/2026 22:30"),
                                      Value("06/03/2026 08:05")}));
  EXPECT_EQ(list.odometros, Value::Array({Value("123456,7"), Value("123789"), Value("")}));
  EXPECT_EQ(list.message, Value("earlier"));
}

TEST_F(TrackingTest, ACustomerOrCustomerGroupChoosesTheCustomersView) {
  struct Case {
    Value cliente;
    Value grupo;
    const char* procedure;
  };
  const Case cases[] = {
      {Value(), Value(), "Exec SP_ZEB_CON_TRACKING_CICLO5 "},
      {Value::Int32(0), Value(""), "Exec SP_ZEB_CON_TRACKING_CICLO5 "},
      {Value::Null(), Value("0"), "Exec SP_ZEB_CON_TRACKING_CICLO5 "},
      {Value::Int32(0), Value::Int32(5), "Exec SP_ZEB_CON_TRACK_CICLO_CLI5 "},
      {Value("12"), Value(), "Exec SP_ZEB_CON_TRACK_CICLO_CLI5 "},
      {Value::Int32(3), Value::Int32(4), "Exec SP_ZEB_CON_TRACK_CICLO_CLI5 "},
  };
  for (const Case& c : cases) {
    CommandLog log;
    Occurrences list;
    list.Run(connection_, Value::Int32(1), c.cliente, c.grupo);
    EXPECT_EQ(log.commands(), std::vector<std::string>{std::string(c.procedure) + "1, 0, 'N' "});
    const bool customer = std::string_view(c.procedure).find("CLI") != std::string_view::npos;
    EXPECT_EQ(list.qtde, Value::Int32(customer ? 2 : 3)) << c.procedure;
  }
}

TEST_F(TrackingTest, NoRowOrNoDocumentLeavesTheCountAndListsAsPassed) {
  Occurrences list;
  list.Run(connection_, Value::Int32(404));
  EXPECT_TRUE(list.result);
  EXPECT_EQ(list.qtde, Value("in"));
  EXPECT_EQ(list.descricoes, Value::Array({Value("old")}));
  EXPECT_TRUE(list.datas.is_empty());

  // Refused before a procedure is chosen.
  CommandLog log;
  Occurrences missing;
  missing.Run(connection_, Value(""), Value("not a number"));
  EXPECT_FALSE(missing.result);
  EXPECT_EQ(missing.message, Value("Informe um documento de Transporte. "));
  EXPECT_EQ(missing.qtde, Value("in"));
  EXPECT_TRUE(log.commands().empty());
}

TEST(Tracking, AFailingProcedureReportsTheOpeningStep) {
  FixtureDatabase db{""};
  CommandLog log;
  Occurrences list;
  list.Run(db.Open(), Value::Int32(1), Value(), Value(), 0, "N", Value("1"));
  EXPECT_FALSE(list.result);
  EXPECT_EQ(list.message, kClientes & Detail("mBusca_Dados_Viagem ( ", log.last_error(), 3440));
}

}  // namespace
}  // namespace zebevi
