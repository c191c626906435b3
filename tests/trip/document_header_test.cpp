// mBusca_Dados_Docto_Viagem on fixture databases.
#include <gtest/gtest.h>

#include <tuple>

#include "trip_fixture.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

using ::zebevi::testing::CommandLog;
using ::zebevi::testing::Detail;
using ::zebevi::testing::FixtureDatabase;
using ::zebevi::testing::kClientes;

// Each document's header rows; the defaults make a complete header.
constexpr std::string_view kHeaders = R"sql(
CREATE TABLE cabec (
  doc INTEGER, ord INTEGER DEFAULT 1,
  num_pedido_interno TEXT DEFAULT 'PED-77', num_docto_transporte TEXT DEFAULT ' CT-1001 ',
  CAVALO TEXT DEFAULT '1234', PLACA_CAVALO TEXT DEFAULT 'ABC1234',
  carreta TEXT DEFAULT 'XYZ9876', PLACA_carreta TEXT DEFAULT 'XYZ9876',
  produto TEXT DEFAULT 'Soja em grão', nome TEXT DEFAULT 'João da Silva',
  Data_Chegada_Cliente_Efetiva DATETIME DEFAULT '2026-03-05 14:07:09',
  data_Chegada_cliente_prevista DATETIME DEFAULT '2026-03-06 08:00:00',
  data_prevista_rastreador DATETIME DEFAULT '2026-12-31 23:59:59',
  remetente TEXT DEFAULT 'Agro Sul Ltda', destinatario TEXT DEFAULT 'Porto Norte S.A.',
  cliente TEXT DEFAULT 'Cooperativa Central', rota_id DEFAULT 7, flag_no_prazo DEFAULT 'I');
INSERT INTO cabec (doc) VALUES (1);
INSERT INTO cabec (doc, ord, num_pedido_interno, rota_id, flag_no_prazo) VALUES (1, 2, 'PED-2', 8, 'N');
INSERT INTO cabec (doc, Data_Chegada_Cliente_Efetiva, data_Chegada_cliente_prevista,
                   data_prevista_rastreador, rota_id, produto)
  VALUES (2, NULL, NULL, NULL, NULL, NULL);
INSERT INTO cabec (doc, rota_id) VALUES (3, 3000000000);
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_Dados_Doc_Viagem11',
  'SELECT cabec.*, ?2 AS pai, ?3 AS flag FROM cabec WHERE doc = ?1 ORDER BY ord');
)sql";

// Every output of the header and the message, as a caller holds them.
struct Header {
  Value num_pedido = "in", num_docto = "in", cavalo = "in", carreta = "in", colaborador = "in",
        chegada_efetiva = "in", chegada_prevista = "in", flag_no_prazo = "in",
        prevista_rastreador = "in", remetente = "in", destinatario = "in", cliente = "in",
        produto = "in";
  std::int32_t rota = -1;
  Value message = "earlier";
  bool result = false;

  void Run(DbConnectionRef connection, Value document, std::int32_t pai = 0, std::string flag = "N",
           Value user = Value::Int32(5)) {
    Value empresa;
    result = CreateEVI()->mBusca_Dados_Docto_Viagem(
        user, empresa, document, pai, num_pedido, num_docto, cavalo, carreta, colaborador,
        chegada_efetiva, chegada_prevista, flag_no_prazo, connection, prevista_rastreador,
        remetente, destinatario, cliente, rota, flag, produto, message);
  }
};

class DocumentHeaderTest : public ::testing::Test {
 protected:
  FixtureDatabase db_{kHeaders};
  DbConnectionRef connection_ = db_.Open();
};

TEST_F(DocumentHeaderTest, FillsEveryOutputFromTheFirstRow) {
  CommandLog log;
  Header header;
  header.Run(connection_, Value("1"), 1000, "S");
  EXPECT_EQ(log.commands(),
            std::vector<std::string>{"Exec SP_ZEB_CON_Dados_Doc_Viagem11 1, 1000, 'S' "});
  EXPECT_TRUE(header.result);
  EXPECT_EQ(header.num_pedido, Value("PED-77"));
  EXPECT_EQ(header.num_docto, Value("CT-1001"));
  EXPECT_EQ(header.cavalo, Value("1234 - ABC1234"));
  EXPECT_EQ(header.carreta, Value("XYZ9876"));
  EXPECT_EQ(header.produto, Value("Soja em grão"));
  EXPECT_EQ(header.colaborador, Value("João da Silva"));
  EXPECT_EQ(header.chegada_efetiva, Value("05/03/2026 14:07:09"));
  EXPECT_EQ(header.chegada_prevista, Value("06/03/2026 08:00:00"));
  EXPECT_EQ(header.prevista_rastreador, Value("31/12/2026 23:59:59"));
  EXPECT_EQ(header.remetente, Value("Agro Sul Ltda"));
  EXPECT_EQ(header.destinatario, Value("Porto Norte S.A."));
  EXPECT_EQ(header.cliente, Value("Cooperativa Central"));
  EXPECT_EQ(header.rota, 7);
  EXPECT_EQ(header.flag_no_prazo, Value("Prazo Indeterminado"));
  EXPECT_EQ(header.message, Value("earlier"));

  Header without_exchange;
  without_exchange.Run(connection_, Value::Int32(1), 0, "");
  EXPECT_EQ(log.commands().back(), "Exec SP_ZEB_CON_Dados_Doc_Viagem11 1, 0, NULL ");
}

TEST_F(DocumentHeaderTest, NullFieldsGiveEmptyTextsAndNoRowTouchesNothing) {
  Header header;
  header.Run(connection_, Value::Int32(2));
  EXPECT_TRUE(header.result);
  for (const Value* out : {&header.chegada_efetiva, &header.chegada_prevista,
                           &header.prevista_rastreador, &header.produto}) {
    EXPECT_EQ(*out, Value(""));
  }
  EXPECT_EQ(header.rota, 0);

  Header none;
  none.Run(connection_, Value::Int32(404));
  EXPECT_FALSE(none.result);
  EXPECT_EQ(none.message, Value("Documentação de Viagem não encontrada."));
  EXPECT_EQ(none.rota, -1);
  EXPECT_EQ(none.num_docto, Value("in"));
  EXPECT_EQ(none.flag_no_prazo, Value("in"));
}

// The header of a document whose row sets `columns` to `values`, the rest
// by default.
Header HeaderOf(const std::string& columns, const std::string& values) {
  FixtureDatabase db{std::string(kHeaders) + "INSERT INTO cabec (doc, " + columns +
                     ") VALUES (100, " + values + ");"};
  Header header;
  header.Run(db.Open(), Value::Int32(100));
  return header;
}

TEST(DocumentHeader, JoinsEachVehicleWithItsPlateOnlyWhenBothAreKnownAndDiffer) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"'1234'", "'ABC1234'", "1234 - ABC1234"}, {"'ABC1234'", "'ABC1234'", "ABC1234"},
      {"'1234'", "''", "1234"},                  {"'1234'", "NULL", "1234"},
      {"''", "'ABC1234'", ""},                   {"NULL", "'ABC1234'", ""},
      {"'abc1234'", "'ABC1234'", "abc1234 - ABC1234"}};
  for (const auto& [vehicle, plate, shown] : cases) {
    const std::string pair = std::string(vehicle) + ", " + plate;
    const Header header = HeaderOf("CAVALO, PLACA_CAVALO, carreta, PLACA_carreta", pair + ", " + pair);
    EXPECT_EQ(header.cavalo, Value(shown)) << pair;
    EXPECT_EQ(header.carreta, Value(shown)) << pair;
  }
}

TEST(DocumentHeader, GivesTheVerdictByTheExactFlag) {
  const std::pair<const char*, const char*> cases[] = {
      {"'I'", "Prazo Indeterminado"}, {"'N'", "Fora do Prazo"}, {"'S'", "No Prazo"},
      {"'i'", "No Prazo"},            {"'n'", "No Prazo"},      {"''", "No Prazo"},
      {"NULL", "No Prazo"},           {"' N '", "Fora do Prazo"}};
  for (const auto& [flag, verdict] : cases) {
    EXPECT_EQ(HeaderOf("flag_no_prazo", flag).flag_no_prazo, Value(verdict)) << "flag " << flag;
  }
}

TEST_F(DocumentHeaderTest, ARouteBeyond32BitsFailsAfterTheEarlierOutputsAreWritten) {
  Header header;
  header.Run(connection_, Value::Int32(3), 0, "N", Value("1"));
  EXPECT_FALSE(header.result);
  EXPECT_EQ(header.message, kClientes & "mBusca_Dados_Docto_Viagem ( Overflow : 6)   No Nº 2700");
  EXPECT_EQ(header.cliente, Value("Cooperativa Central"));
  EXPECT_EQ(header.cavalo, Value("1234 - ABC1234"));
  EXPECT_EQ(header.rota, -1);
  EXPECT_EQ(header.flag_no_prazo, Value("in"));
}

TEST(DocumentHeader, AFailingProcedureReportsTheOpeningStep) {
  FixtureDatabase db{R"sql(
    INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_Dados_Doc_Viagem11',
      'SELECT * FROM cabecalho_que_falta WHERE ?1 = ?2 AND ?3 IS NULL');)sql"};
  CommandLog log;
  Header header;
  header.Run(db.Open(), Value::Int32(1), 0, "N", Value::Int32(1));
  EXPECT_FALSE(header.result);
  EXPECT_EQ(header.message,
            kClientes & Detail("mBusca_Dados_Docto_Viagem ( ", log.last_error(), 2520));
  EXPECT_EQ(header.num_pedido, Value("in"));
}

}  // namespace
}  // namespace zebevi
