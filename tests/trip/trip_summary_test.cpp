// gConsulta_Espelho_Viagem through the interface, on fixture databases for
// the edges and on the reference data set of every engine for ordinary
// documents.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "db/connection_string.h"
#include "support/engines.h"
#include "support/password_text.h"
#include "trip_fixture.h"

namespace zebevi::testing {
namespace {

// How many of this process's descriptors are open on `path`: an open
// connection holds the database file.
int OpenDescriptors(const std::filesystem::path& path) {
  int count = 0;
  const auto target = std::filesystem::canonical(path);
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (std::filesystem::read_symlink(entry.path(), ec) == target) ++count;
  }
  return count;
}

// 1001 is a child of the exchange 1000 with a route; 2 has no route; 3 has
// no exchange row; 4 has no header; 5 has a return time no conversion takes.
constexpr std::string_view kTrips = R"sql(
CREATE TABLE troca (doc INTEGER, ord INTEGER, retorno, pai_id, num_pai, filho_id, num_filho);
INSERT INTO troca VALUES
  (1001, 1, 0, 1000, '1000', 1001, '1001'), (1001, 2, 0, 1000, '1000', 1002, '1002'),
  (2, 1, 1, 2, 'CT-2', NULL, NULL), (4, 1, 1, 4, 'CT-4', NULL, NULL),
  (5, 1, 1, 5, 'CT-5', NULL, NULL);
CREATE TABLE cabec (
  doc INTEGER, num_pedido_interno TEXT DEFAULT 'PED-77', num_docto_transporte TEXT,
  CAVALO TEXT DEFAULT '1234', PLACA_CAVALO TEXT DEFAULT 'ABC1234',
  carreta TEXT DEFAULT 'R-77', PLACA_carreta TEXT DEFAULT 'XYZ9876',
  produto TEXT DEFAULT 'Soja em grão', nome TEXT DEFAULT 'João da Silva',
  Data_Chegada_Cliente_Efetiva DATETIME DEFAULT '2026-03-05 14:07:09',
  data_Chegada_cliente_prevista DATETIME DEFAULT '2026-03-06 08:00:00',
  data_prevista_rastreador DATETIME DEFAULT '2026-03-05 23:59:59',
  remetente TEXT DEFAULT 'Agro Sul Ltda', destinatario TEXT DEFAULT 'Porto Norte S.A.',
  cliente TEXT DEFAULT 'Cooperativa Central', rota_id INTEGER, flag_no_prazo TEXT DEFAULT 'N');
INSERT INTO cabec (doc, num_docto_transporte, rota_id) VALUES
  (1001, 'CT-1001', 7), (2, 'CT-2', 0), (3, 'CT-3', NULL), (5, 'CT-5', 7);
CREATE TABLE nf (doc INTEGER, nota_fiscal TEXT, peso_real_kg, val_declarado);
INSERT INTO nf VALUES (1001, '000123', 1500.5, 1234.5), (1001, '000124', 800, 99),
  (2, '000200', 10, 1), (3, '000300', 10, 1), (5, '000500', 10, 1);
CREATE TABLE oc (doc INTEGER, DESC_TIPO_MACRO TEXT, data_tracking DATETIME, odometro);
INSERT INTO oc VALUES (1001, 'Início de viagem', '2026-03-05 06:00:00', 1000),
  (1001, 'Chegada no cliente', '2026-03-05 14:07:09', 1520), (5, 'Início', '2026-03-01 06:00:00', 1);
CREATE TABLE ciclo (doc INTEGER, tempo_retorno);
INSERT INTO ciclo VALUES (1001, 7200), (2, 60), (3, 60), (5, 2147483648);
CREATE TABLE rota (rota_id INTEGER, total_km, tempo_previsto);
INSERT INTO rota VALUES (7, 1520.5, 1.0833333333333333);
INSERT INTO zeb_procedure VALUES
  ('SP_ZEB_CON_TROCA_DOCTO_TRANSP',
   'SELECT retorno, pai_id AS DOCTO_TRANSP_PAI_ID, num_pai AS num_docto_pai,
           filho_id AS DOCTO_TRANSP_FILHO_ID, num_filho AS num_docto_filho
      FROM troca WHERE doc = ?1 ORDER BY ord'),
  ('SP_ZEB_CON_Dados_Doc_Viagem11', 'SELECT cabec.*, ?2, ?3 FROM cabec WHERE doc = ?1'),
  ('SP_ZEB_CON_NOTA_FISCAL_DOCTO3', 'SELECT nf.*, ?2, ?3 FROM nf WHERE doc = ?1'),
  ('SP_ZEB_CON_TRACKING_CICLO5', 'SELECT oc.*, ?2, ?3 FROM oc WHERE doc = ?1'),
  ('SP_ZEB_CON_TRACK_CICLO_CLI5', 'SELECT oc.*, ?2, ?3 FROM oc WHERE doc = ?1'),
  ('SP_ZEB_CON_Resumo_Ciclo2',
   'SELECT 1250.5 AS Km_total, 300 AS km_ate_rem, 900 AS km_rem_dest, 50 AS km_apos_dest,
           3600 AS tempo_operacao, 3600 AS tempo_transporte, 3600 AS tempo_ate_rem,
           tempo_retorno, 5400 AS Tempo_proc, 1800 AS tempo_carga, 1800 AS tempo_descarga,
           600 AS tempo_janela_espera, 60 AS tempo_ant_carga, 120 AS tempo_pos_carga,
           180 AS tempo_ant_desc, 240 AS tempo_pos_desc, 86400 AS tempo_rem_dest, ?2
      FROM ciclo WHERE doc = ?1'),
  ('SP_ZEB_CON_Tempo_km_Rota', 'SELECT total_km, tempo_previsto FROM rota WHERE rota_id = ?1');
)sql";

class TripSummaryTest : public ::testing::Test {
 protected:
  // Unpooled, so that releasing the connection closes the file.
  SummaryCall Call(Value document) {
    return SummaryCall("Provider=SQLite;Data Source=" + db_.path().string() + ";Pooling=false",
                       std::move(document));
  }

  FixtureDatabase db_{kTrips};
};

TEST_F(TripSummaryTest, AnExchangedDocumentWithARouteFillsEveryOutput) {
  CommandLog log;
  SummaryCall summary = Call(Value(" 1001\t"));
  summary.Run();
  EXPECT_EQ(summary.status, Value::Int16(0));
  EXPECT_EQ(log.commands(), (std::vector<std::string>{
                                "EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   1001",
                                "Exec SP_ZEB_CON_Dados_Doc_Viagem11 1001, 1000, 'S' ",
                                "exec SP_ZEB_CON_NOTA_FISCAL_DOCTO3 1001, 1000, 'S' ",
                                "Exec SP_ZEB_CON_TRACKING_CICLO5 1001, 1000, 'S' ",
                                "Exec SP_ZEB_CON_Resumo_Ciclo2 1001, 'S'",
                                "Exec SP_ZEB_CON_Tempo_km_Rota  7",
                            }));
  EXPECT_EQ(summary.untouched(), std::vector<int>{});
  EXPECT_EQ(summary.docto, Value("1001")) << "the client's identifier holds the cleaned text";
  EXPECT_EQ(summary.out[kNumDocto], Value("1000 / 1001 / 1002"));
  EXPECT_EQ(summary.out[kKmRota], Value("1520,5"));
  EXPECT_EQ(summary.out[kTempoRota], Value("02:00"));
  EXPECT_EQ(summary.message, Value("earlier")) << "a success writes no message";
  EXPECT_EQ(OpenDescriptors(db_.path()), 0) << "the connection is gone";
}

TEST_F(TripSummaryTest, ADocumentWithoutRouteSkipsTheRouteQuery) {
  CommandLog log;
  SummaryCall summary = Call(Value::Int32(2));
  summary.cliente = Value::Int32(33);
  summary.Run();
  EXPECT_EQ(summary.status, Value::Int16(0));
  EXPECT_EQ(log.commands().size(), 5u);
  EXPECT_EQ(log.commands()[3], "Exec SP_ZEB_CON_TRACK_CICLO_CLI5 2, 2, 'N' ");
  EXPECT_EQ(summary.untouched(), (std::vector<int>{kQtdeOcor, kDescrOcor, kDataOcor, kOdometroOcor,
                                                   kKmRota, kTempoRota}));
  EXPECT_EQ(summary.out[kNumDocto], Value("CT-2")) << "no exchange: the header's number";
}

TEST_F(TripSummaryTest, WithoutExchangeRowsTheParentStaysZeroAndTheFlagEmpty) {
  CommandLog log;
  SummaryCall summary = Call(Value("3"));
  summary.Run();
  EXPECT_EQ(summary.status, Value::Int16(0));
  ASSERT_EQ(log.commands().size(), 5u);
  EXPECT_EQ(log.commands()[1], "Exec SP_ZEB_CON_Dados_Doc_Viagem11 3, 0, NULL ");
  EXPECT_EQ(log.commands()[2], "exec SP_ZEB_CON_NOTA_FISCAL_DOCTO3 3, 0, NULL ");
  EXPECT_EQ(log.commands()[3], "Exec SP_ZEB_CON_TRACKING_CICLO5 3, 0, NULL ");
  EXPECT_EQ(log.commands()[4], "Exec SP_ZEB_CON_Resumo_Ciclo2 3, NULL");
}

TEST_F(TripSummaryTest, AHeaderNotFoundStopsAfterTheExchangeLookup) {
  CommandLog log;
  SummaryCall summary = Call(Value::Int32(4));
  summary.Run();
  EXPECT_EQ(summary.status, Value::Int16(10));
  EXPECT_EQ(summary.message, Value("Documentação de Viagem não encontrada."));
  EXPECT_EQ(log.commands().size(), 2u);
  EXPECT_EQ(summary.untouched().size(), static_cast<std::size_t>(kOutputs));
  EXPECT_EQ(OpenDescriptors(db_.path()), 0);
}

TEST_F(TripSummaryTest, AQueryAnsweringFalseStopsWithItsMessageAndKeepsEarlierOutputs) {
  CommandLog log;
  SummaryCall summary = Call(Value::Int32(5));
  summary.user = Value::Int32(1);
  summary.Run();
  EXPECT_EQ(summary.status, Value::Int16(10));
  EXPECT_EQ(summary.message,
            Value("Acesso a informações de tracking não disponível. Favor tentar mais tarde."));
  EXPECT_EQ(log.commands().size(), 5u) << "the route query does not run";
  EXPECT_EQ(summary.out[kNumDocto], Value("CT-5"));
  EXPECT_EQ(summary.out[kQtdeOcor], Value::Int32(1));
  EXPECT_EQ(summary.out[kTempoAteRem], Value("01:00"));
  EXPECT_EQ(summary.untouched(),
            (std::vector<int>{kTempoRetorno, kTempoTotalCargaDesc, kTempoCarga, kTempoDescarga,
                              kTempoJanelaEspera, kTempoPosCarga, kTempoPosDesc, kTempoAntCarga,
                              kTempoAntDesc, kTempoRemDes, kKmRota, kTempoRota}));
}

TEST_F(TripSummaryTest, AMissingDocumentRunsNoQuery) {
  for (const Value& missing : {Value(), Value(" \t "), Value::Int32(0)}) {
    CommandLog log;
    SummaryCall summary = Call(missing);
    summary.Run();
    EXPECT_EQ(summary.status, Value::Int16(10));
    EXPECT_EQ(summary.message, Value("Informe um documento de transporte."));
    EXPECT_TRUE(log.commands().empty());
    EXPECT_EQ(summary.untouched().size(), static_cast<std::size_t>(kOutputs));
    EXPECT_EQ(summary.docto, Value(missing.kind() == Kind::kInt32 ? "0" : ""));
    EXPECT_EQ(OpenDescriptors(db_.path()), 0);
  }
}

TEST_F(TripSummaryTest, FailuresOfItsOwnStepsSetStatus50WithTheStepLabel) {
  // A null identifier cannot become text.
  SummaryCall null_document = Call(Value::Null());
  null_document.user = Value("1");
  null_document.Run();
  EXPECT_EQ(null_document.status, Value::Int16(50));
  EXPECT_EQ(null_document.message,
            kClientes & "gConsulta_Espelho_Viagem ( Invalid use of Null : 94)   No Nº 1330");
  EXPECT_EQ(null_document.untouched().size(), static_cast<std::size_t>(kOutputs));

  // Neither can a null connection string.
  SummaryCall null_connection = Call(Value::Int32(1001));
  null_connection.conecta = Value::Null();
  null_connection.user = Value::Int32(1);
  null_connection.Run();
  EXPECT_EQ(null_connection.status, Value::Int16(50));
  EXPECT_EQ(null_connection.message,
            kClientes & "gConsulta_Espelho_Viagem ( Invalid use of Null : 94)   No Nº 1300");

  SummaryCall plain_user = Call(Value::Null());
  plain_user.Run();
  EXPECT_EQ(plain_user.message, kClientes);
  EXPECT_EQ(OpenDescriptors(db_.path()), 0) << "released after the trap";
}

TEST_F(TripSummaryTest, WithoutValueRulesTheCleaningStepFails) {
  UncreatableRules uncreatable;
  SummaryCall summary = Call(Value::Int32(1001));
  summary.user = Value::Int32(1);
  summary.Run();
  EXPECT_EQ(summary.status, Value::Int16(50));
  EXPECT_EQ(summary.message,
            kClientes & Detail("gConsulta_Espelho_Viagem ( ", uncreatable.failure(), 1330));
}

TEST(TripSummary, AnUnreachableDatabaseFailsAtTheOpeningStep) {
  TempDir dir;
  const std::string unreachable = SqliteConnection(dir / "missing" / "trip.db");
  Error failure(0, "");
  try {
    DbConnection().Open(unreachable, "SISTEMA", "TRMVQKD");
  } catch (const Error& error) {
    failure = error;
  }
  ASSERT_NE(failure.number(), 0);
  SummaryCall summary(unreachable, Value(" 12\t"));
  summary.user = Value::Int32(1);
  summary.Run();
  EXPECT_EQ(summary.status, Value::Int16(50));
  EXPECT_EQ(summary.message, kClientes & Detail("gConsulta_Espelho_Viagem ( ", failure, 1320));
  EXPECT_EQ(summary.docto, Value(" 12\t")) << "the identifier is never reached";
}

// The built-in account stands in only for a string that names no user: a
// user of the string's own, without the built-in password, fails the
// opening step instead of being replaced by SISTEMA.
TEST(TripSummary, AConnectionStringsOwnUserWins) {
  ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
  const db::ConnectionString reference =
      db::ConnectionString::Parse(ReferenceOn(Engine::kPostgres).connection_string);
  const std::int64_t document = ReferenceOn(Engine::kPostgres).summary.exchanged_document_id;
  const std::string where = "/" + *reference.Get("database") + "?host=" +
                            *reference.Get("data source") + "&port=" + *reference.Get("port");
  struct Case {
    std::string connection_string;
    int status;
  };
  for (const Case& c : {
           Case{"postgresql://" + where, 0},
           Case{"postgresql://ninguem@" + where, 50},
           Case{"postgresql://" + where + "&user=ninguem", 50},
           Case{ReferenceOn(Engine::kPostgres).connection_string + ";User ID=ninguem", 50},
       }) {
    SummaryCall summary(c.connection_string, Value::Int32(static_cast<std::int32_t>(document)));
    summary.user = Value::Int32(1);
    summary.Run();
    EXPECT_EQ(summary.status, Value::Int16(c.status)) << c.connection_string;
    if (c.status == 50) {
      // The server refuses the account: no password, or not its password.
      EXPECT_TRUE(ToString(summary.message).ends_with(")   No Nº 1320"))
          << ToString(summary.message);
    }
  }
}

// Passwords holding ';' leave tails that look like keys; none of their
// password bytes reaches the message or a command.
TEST(TripSummary, NoPasswordFragmentReachesTheMessageOrTheTrace) {
  ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
  const std::string base = ReferenceOn(Engine::kPostgres).connection_string + ";Pooling=false";
  CommandLog log;
  std::mt19937 random(5);
  for (int round = 0; round < 40; ++round) {
    std::string password;
    for (int i = 0; i < 8; ++i) {
      password += random() % 3 ? PasswordByte(random())
                               : kPasswordSeparators[random() % kPasswordSeparators.size()];
    }
    SummaryCall summary(base + ";Password=" + password, Value::Int32(1));
    summary.user = Value::Int32(1);  // the diagnostic user: the trap says the most
    summary.Run();
    ASSERT_FALSE(HasPasswordByte(ToString(summary.message))) << ToString(summary.message);
  }
  for (const std::string& command : log.commands()) {
    ASSERT_FALSE(HasPasswordByte(command)) << command;
  }
}

class TripSummaryOnEngines : public EngineTest {
 protected:
  SummaryCall Call(std::int64_t document) const {
    return SummaryCall(reference().connection_string,
                       Value::Int32(static_cast<std::int32_t>(document)));
  }
};

// The procedure each command calls: its second word.
std::vector<std::string> Procedures(const std::vector<std::string>& commands) {
  std::vector<std::string> names;
  for (const std::string& command : commands) {
    const std::size_t start = command.find(' ') + 1;
    names.push_back(command.substr(start, command.find(' ', start) - start));
  }
  return names;
}

TEST_P(TripSummaryOnEngines, AnExchangedDocumentWithARouteFillsAllFortyOutputs) {
  CommandLog log;
  SummaryCall summary = Call(reference().summary.exchanged_document_id);
  summary.Run();
  EXPECT_EQ(summary.status, Value::Int16(0)) << ToString(summary.message);
  EXPECT_EQ(
      Procedures(log.commands()),
      (std::vector<std::string>{"SP_ZEB_CON_TROCA_DOCTO_TRANSP", "SP_ZEB_CON_Dados_Doc_Viagem11",
                                "SP_ZEB_CON_NOTA_FISCAL_DOCTO3", "SP_ZEB_CON_TRACKING_CICLO5",
                                "SP_ZEB_CON_Resumo_Ciclo2", "SP_ZEB_CON_Tempo_km_Rota"}));
  const std::string document = std::to_string(reference().summary.exchanged_document_id);
  const std::string parent = std::to_string(reference().summary.exchange_parent_id);
  EXPECT_EQ(log.commands()[1],
            "Exec SP_ZEB_CON_Dados_Doc_Viagem11 " + document + ", " + parent + ", 'S' ");
  EXPECT_EQ(summary.untouched(), std::vector<int>{});
  // Every output was written, none with nothing (a trip without a trailer
  // shows it as the empty text).
  for (int i = 0; i < kOutputs; ++i) {
    EXPECT_FALSE(summary.out[i].is_empty() || summary.out[i].is_null()) << "output " << i;
  }
  // The parent's number, then at least two children's.
  const std::string numbers = ToString(summary.out[kNumDocto]);
  EXPECT_GE(std::count(numbers.begin(), numbers.end(), '/'), 2) << numbers;
  EXPECT_EQ(summary.message, Value("earlier"));
}

TEST_P(TripSummaryOnEngines, DocumentsWithoutRouteCycleOrArrivalTimesShowSo) {
  CommandLog log;
  SummaryCall without_route = Call(reference().summary.document_without_route_id);
  without_route.Run();
  EXPECT_EQ(without_route.status, Value::Int16(0));
  EXPECT_EQ(log.commands().size(), 5u);
  EXPECT_EQ(without_route.out[kKmRota], Value("in"));
  EXPECT_EQ(without_route.out[kTempoRota], Value("in"));

  SummaryCall without_cycle = Call(reference().summary.document_without_cycle_id);
  without_cycle.Run();
  EXPECT_EQ(without_cycle.status, Value::Int16(0));
  for (int i = kKmTotal; i <= kTempoRemDes; ++i) {
    EXPECT_EQ(without_cycle.out[i], Value("in")) << "output " << i;
  }

  SummaryCall without_arrival = Call(reference().summary.document_without_arrival_id);
  without_arrival.Run();
  EXPECT_EQ(without_arrival.status, Value::Int16(0));
  for (int i : {kChegadaEfetiva, kChegadaPrevista, kPrevistaRastreador}) {
    EXPECT_EQ(without_arrival.out[i], Value("")) << "output " << i;
  }
}

ZEBEVI_INSTANTIATE_ON_ENGINES(TripSummaryOnEngines);

}  // namespace
}  // namespace zebevi::testing
