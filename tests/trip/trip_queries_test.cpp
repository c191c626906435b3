// The six queries the trip summary is made of, each operation on its own:
// the trip tables for the edges, the reference data set of every engine
// through the real executable for the route.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <tuple>

#include "support/engines.h"
#include "trip_fixture.h"
#include "zebevi/evi.h"

namespace zebevi::testing {
namespace {

const Value kEarlier("earlier");
const Value kIn("in");
// Tracking and cycle say it with a capital T and a trailing blank.
const Value kGiveADocument("Informe um documento de Transporte. ");

// Each operation's outputs and message as a caller holds them, then Run.

struct Lookup {  // mConsulta_TROCA_DOCTO_TRANSP
  std::int32_t pai = -1;
  Int32Array filhos = std::vector<std::int32_t>{7, 7, 7};
  std::string num = "earlier";
  std::int32_t qtde = -1;
  std::string flag_pai = "kept";
  std::string flag_troca = "kept";
  Value message = kEarlier;
  bool result = false;

  void Run(const DbConnectionRef& connection, Value document, Value user = Value::Int32(5)) {
    Value odb = Value::Object(connection);
    result = CreateEVI()->mConsulta_TROCA_DOCTO_TRANSP(odb, user, document, pai, filhos, num, qtde,
                                                       flag_pai, flag_troca, message);
  }
};

struct Header {  // mBusca_Dados_Docto_Viagem
  Value num_pedido = kIn, num_docto = kIn, cavalo = kIn, carreta = kIn, colaborador = kIn,
        chegada_efetiva = kIn, chegada_prevista = kIn, flag_no_prazo = kIn,
        prevista_rastreador = kIn, remetente = kIn, destinatario = kIn, cliente = kIn,
        produto = kIn;
  std::int32_t rota = -1;
  Value message = kEarlier;
  bool result = false;

  void Run(DbConnectionRef connection, Value document, std::int32_t pai = 0, std::string flag = "N",
           Value user = Value::Int32(5)) {
    Value empresa;
    result = CreateEVI()->mBusca_Dados_Docto_Viagem(
        user, empresa, document, pai, num_pedido, num_docto, cavalo, carreta, colaborador,
        chegada_efetiva, chegada_prevista, flag_no_prazo, connection, prevista_rastreador,
        remetente, destinatario, cliente, rota, flag, produto, message);
  }
  // The text outputs, in interface order (produto last), then the message.
  std::vector<Value> texts() const {
    return {num_pedido,       num_docto,     cavalo,
            carreta,          colaborador,   chegada_efetiva,
            chegada_prevista, flag_no_prazo, prevista_rastreador,
            remetente,        destinatario,  cliente,
            produto,          message};
  }
};

struct Invoices {  // mBusca_Nota_Fiscais
  Value qtde;
  Value notas = Value::Array({Value("old"), Value("old"), Value("old"), Value("old")});
  Value pesos = "not a list";
  Value valores;
  Value message = kEarlier;
  bool result = false;

  void Run(DbConnectionRef connection, Value document, std::int32_t pai = 0, std::string flag = "N",
           Value user = Value::Int32(5)) {
    Value empresa;
    result = CreateEVI()->mBusca_Nota_Fiscais(user, empresa, document, pai, qtde, notas, pesos,
                                              valores, connection, flag, message);
  }
};

struct Occurrences {  // mBusca_Dados_Viagem
  Value qtde = kIn;
  Value descricoes = Value::Array({Value("old")});
  Value datas, odometros;
  Value message = kEarlier;
  bool result = false;

  void Run(DbConnectionRef connection, Value document, Value cliente = Value(),
           Value grupo = Value(), Value user = Value::Int32(5)) {
    Value empresa;
    std::int32_t pai = 0;
    std::string flag = "N";
    result =
        CreateEVI()->mBusca_Dados_Viagem(user, empresa, cliente, grupo, document, pai, connection,
                                         qtde, descricoes, datas, odometros, flag, message);
  }
};

// mBusca_Apuracao: four distances, then Operacao, Transporte, Ate_Rem,
// Retorno, Total_Carga_Desc, Carga, Descarga, Janela_Espera, Pos_Carga,
// Pos_desc, Ant_Carga, Ant_Desc, Rem_Des.
struct Cycle {
  std::array<Value, 17> out;
  Value message = kEarlier;
  bool result = false;

  Cycle() { out.fill(kIn); }
  void Run(DbConnectionRef connection, Value document, std::string flag = "N",
           Value user = Value::Int32(5)) {
    Value empresa;
    result = CreateEVI()->mBusca_Apuracao(user, empresa, document, connection, out[0], out[1],
                                          out[2], out[3], out[4], out[5], out[6], out[7], out[8],
                                          out[9], out[10], out[11], out[12], out[13], out[14],
                                          out[15], out[16], flag, message);
  }
};

// Each test on its own copy of the trip tables.
class TripQueryTest : public ::testing::Test {
 protected:
  FixtureDatabase db_{kTrips};
  DbConnectionRef connection_ = db_.Open();
};

TEST_F(TripQueryTest, ExchangeGivesParentChildrenAndTheirNumbers) {
  struct Case {
    const char* name;
    Value document;
    std::int32_t pai;
    std::vector<std::int32_t> filhos;
    std::string num;
    std::int32_t qtde;
    std::string flag_pai, flag_troca;
  };
  const Case cases[] = {
      // The parent flag is not assigned on an exchange.
      {"exchange", Value("1001"), 1000, {1001, 1002}, "1000 / 1001 / 1002", 2, "kept", "S"},
      {"one child", Value::Int32(600), 601, {600}, "P-601 / C-600", 1, "kept", "S"},
      // Whatever rows follow the first.
      {"no exchange: its own parent", Value("500"), 500, {7, 7, 7}, "", 0, "S", "N"},
      // A null retorno reads as 0: an exchange with an unknown parent.
      {"null fields", Value::Int32(800), 0, {0}, " / ", 1, "kept", "S"},
      {"no row", Value::Int32(404), -1, {7, 7, 7}, "earlier", -1, "kept", "kept"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Lookup l;
    l.Run(connection_, c.document);
    EXPECT_TRUE(l.result);
    EXPECT_EQ(std::tie(l.pai, l.num, l.qtde, l.flag_pai, l.flag_troca, l.message),
              std::tie(c.pai, c.num, c.qtde, c.flag_pai, c.flag_troca, kEarlier));
    EXPECT_EQ(l.filhos, c.filhos);
  }
}

TEST_F(TripQueryTest, ExchangeFailureQuotesTheCommandForTheDiagnosticUserOnly) {
  // A parent identifier beyond 32 bits fails after the count is set.
  Lookup lookup;
  lookup.Run(connection_, Value::Int32(900), Value("1"));
  EXPECT_FALSE(lookup.result);
  EXPECT_EQ(lookup.qtde, 1) << "nothing is undone";
  EXPECT_EQ(lookup.filhos, std::vector<std::int32_t>{0});
  EXPECT_EQ(lookup.flag_troca, "kept");
  EXPECT_EQ(lookup.message, kClientes &
                                "mConsulta_TROCA_DOCTO_TRANSP ( Overflow : 6)   No Nº 3090"
                                "Strsq: EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   900");
  for (const Value& user : {Value::Int32(5), Value(), Value::Null()}) {
    Lookup plain;
    plain.Run(connection_, Value::Int32(900), user);
    EXPECT_FALSE(plain.result);
    EXPECT_EQ(plain.message, kClientes);
  }
  // A failure before the command is built quotes nothing.
  UncreatableRules uncreatable;
  Lookup early;
  early.Run(connection_, Value("1001"), Value("1"));
  EXPECT_FALSE(early.result);
  EXPECT_EQ(early.message,
            kClientes & (Detail("mConsulta_TROCA_DOCTO_TRANSP ( ", uncreatable.failure(), 2860) +
                         "Strsq: "));
}

TEST_F(TripQueryTest, HeaderFillsEveryOutputFromTheFirstRowAndNullsAsEmptyTexts) {
  Header h;
  h.Run(connection_, Value("1"), 1000, "S");
  EXPECT_TRUE(h.result);
  EXPECT_EQ(h.texts(),
            (std::vector<Value>{"PED-77", "CT-1001", "1234 - ABC1234", "XYZ9876", "João da Silva",
                                "05/03/2026 14:07:09", "06/03/2026 08:00:00", "Prazo Indeterminado",
                                "31/12/2026 23:59:59", "Agro Sul Ltda", "Porto Norte S.A.",
                                "Cooperativa Central", "Soja em grão", kEarlier}));
  EXPECT_EQ(h.rota, 7);

  Header nulls;
  nulls.Run(connection_, Value::Int32(2));
  EXPECT_TRUE(nulls.result);
  for (const Value* out : {&nulls.chegada_efetiva, &nulls.chegada_prevista,
                           &nulls.prevista_rastreador, &nulls.produto}) {
    EXPECT_EQ(*out, Value(""));
  }
  EXPECT_EQ(nulls.rota, 0);

  Header none;
  none.Run(connection_, Value::Int32(404));
  EXPECT_FALSE(none.result);
  EXPECT_EQ(none.rota, -1);
  std::vector<Value> untouched(13, kIn);
  untouched.push_back("Documentação de Viagem não encontrada.");
  EXPECT_EQ(none.texts(), untouched);

  // A route beyond 32 bits fails after the earlier outputs are written.
  Header header;
  header.Run(connection_, Value::Int32(3), 0, "N", Value("1"));
  EXPECT_FALSE(header.result);
  EXPECT_EQ(header.message, kClientes & "mBusca_Dados_Docto_Viagem ( Overflow : 6)   No Nº 2700");
  EXPECT_EQ(header.cliente, Value("Cooperativa Central"));
  EXPECT_EQ(header.cavalo, Value("1234 - ABC1234"));
  EXPECT_EQ(header.rota, -1);
  EXPECT_EQ(header.flag_no_prazo, kIn);
}

// The header of a document whose row sets `columns` to `values`, the rest
// by default.
Header HeaderOf(const std::string& columns, const std::string& values) {
  FixtureDatabase db{kTrips + "INSERT INTO cabec (doc, " + columns + ") VALUES (100, " + values +
                     ");"};
  Header header;
  header.Run(db.Open(), Value::Int32(100));
  return header;
}

TEST(TripQuery, HeaderJoinsEachVehicleWithItsPlateOnlyWhenBothAreKnownAndDiffer) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"'1234'", "'ABC1234'", "1234 - ABC1234"},
      {"'ABC1234'", "'ABC1234'", "ABC1234"},
      {"'1234'", "''", "1234"},
      {"'1234'", "NULL", "1234"},
      {"''", "'ABC1234'", ""},
      {"NULL", "'ABC1234'", ""},
      {"'abc1234'", "'ABC1234'", "abc1234 - ABC1234"}};
  for (const auto& [vehicle, plate, shown] : cases) {
    const std::string pair = std::string(vehicle) + ", " + plate;
    const Header h = HeaderOf("CAVALO, PLACA_CAVALO, carreta, PLACA_carreta", pair + ", " + pair);
    EXPECT_EQ(std::tie(h.cavalo, h.carreta), std::tuple(Value(shown), Value(shown))) << pair;
  }
}

TEST(TripQuery, HeaderGivesTheVerdictByTheExactFlag) {
  const std::pair<const char*, const char*> cases[] = {{"'I'", "Prazo Indeterminado"},
                                                       {"'N'", "Fora do Prazo"},
                                                       {"'S'", "No Prazo"},
                                                       {"'i'", "No Prazo"},
                                                       {"'n'", "No Prazo"},
                                                       {"''", "No Prazo"},
                                                       {"NULL", "No Prazo"},
                                                       {"' N '", "Fora do Prazo"}};
  for (const auto& [flag, verdict] : cases) {
    EXPECT_EQ(HeaderOf("flag_no_prazo", flag).flag_no_prazo, Value(verdict)) << "flag " << flag;
  }
}

TEST_F(TripQueryTest, InvoicesListEveryInvoiceInRowOrderInFreshLists) {
  Invoices invoices;
  invoices.Run(connection_, Value("1"), 1000, "S");
  EXPECT_TRUE(invoices.result);
  EXPECT_EQ(invoices.qtde, Value::Int32(3));
  EXPECT_EQ(invoices.notas, Value::Array({Value("000123"), Value("000124"), Value("000125")}));
  // Weights as the rules give them, unformatted; declared values by the
  // picture, with grouping and two decimals.
  EXPECT_EQ(invoices.pesos, Value::Array({Value("1500,5"), Value("20000"), Value("")}));
  EXPECT_EQ(invoices.valores,
            Value::Array({Value("0,50"), Value("1.234.567,00"), Value("1.234,50")}));
  EXPECT_EQ(invoices.message, kEarlier);

  Invoices negative;
  negative.Run(connection_, Value::Int32(2), 0, "");
  EXPECT_EQ(negative.valores, Value::Array({Value("-1.234,57")}));

  Invoices none;
  none.Run(connection_, Value::Int32(404));
  EXPECT_TRUE(none.result);
  EXPECT_EQ(std::tie(none.qtde, none.notas, none.pesos, none.valores, none.message),
            std::tuple(Invoices().qtde, Invoices().notas, Invoices().pesos, Invoices().valores,
                       kEarlier));

  // A missing document is refused without a query.
  CommandLog log;
  for (const Value& missing : {Value(), Value::Int32(0), Value(""), Value("  "), Value::Null()}) {
    Invoices refused;
    refused.Run(connection_, missing);
    EXPECT_EQ(std::tie(refused.result, refused.message, refused.qtde),
              std::tuple(false, Value("Informe um documento de transporte."), Value()));
  }
  EXPECT_TRUE(log.commands().empty());
}

TEST_F(TripQueryTest, TrackingListsTheOccurrencesDayFirstTheCustomersViewForACustomer) {
  Occurrences list;
  list.Run(connection_, Value("1"));
  EXPECT_TRUE(list.result);
  EXPECT_EQ(list.qtde, Value::Int32(3));
  EXPECT_EQ(list.descricoes, Value::Array({Value("Início de viagem"), Value("Parada para descanso"),
                                           Value("Chegada no cliente")}));
  EXPECT_EQ(list.datas, Value::Array({Value("05/03/2026 14:07"), Value("05/03/2026 22:30"),
                                      Value("06/03/2026 08:05")}));
  EXPECT_EQ(list.odometros, Value::Array({Value("123456,7"), Value("123789"), Value("")}));
  EXPECT_EQ(list.message, kEarlier);

  Occurrences none;
  none.Run(connection_, Value::Int32(404));
  EXPECT_TRUE(none.result);
  EXPECT_EQ(std::tie(none.qtde, none.descricoes, none.datas),
            std::tuple(kIn, Occurrences().descricoes, Value()));

  // Refused before a procedure is chosen.
  CommandLog log;
  Occurrences missing;
  missing.Run(connection_, Value(""), Value("not a number"));
  EXPECT_FALSE(missing.result);
  EXPECT_EQ(std::tie(missing.message, missing.qtde), std::tie(kGiveADocument, kIn));
  EXPECT_TRUE(log.commands().empty());

  const std::tuple<Value, Value, bool> cases[] = {
      {Value(), Value(), false},          {Value::Int32(0), Value(""), false},
      {Value::Null(), Value("0"), false}, {Value::Int32(0), Value::Int32(5), true},
      {Value("12"), Value(), true},       {Value::Int32(3), Value::Int32(4), true}};
  for (const auto& [cliente, grupo, customer] : cases) {
    SCOPED_TRACE(::testing::PrintToString(cliente) + " " + ::testing::PrintToString(grupo));
    CommandLog log;
    Occurrences list;
    list.Run(connection_, Value::Int32(1), cliente, grupo);
    EXPECT_EQ(log.commands(),
              std::vector<std::string>{customer ? "Exec SP_ZEB_CON_TRACK_CICLO_CLI5 1, 0, 'N' "
                                                : "Exec SP_ZEB_CON_TRACKING_CICLO5 1, 0, 'N' "});
    EXPECT_EQ(list.qtde, Value::Int32(customer ? 2 : 3));
  }
}

TEST_F(TripQueryTest, CycleGivesDistancesAsNumbersAndTimesAsHoursAndMinutesUntilAConversionFails) {
  Cycle cycle;
  cycle.Run(connection_, Value("1"), "S");
  EXPECT_TRUE(cycle.result);
  // The times in the row's order; Tempo_proc is read, not summed; a null is 00:00.
  EXPECT_EQ(cycle.out,
            (std::array<Value, 17>{Value::Double(1250.5), Value::Int32(300), Value::Int32(0),
                                   Value::Double(50.25), "01:30", "00:02", "01:00", "24:00",
                                   "25:01", "00:01", "00:59", "100:00", "00:03", "02:00",
                                   "596523:14", "00:00", "00:04"}));
  EXPECT_EQ(cycle.message, kEarlier);

  Cycle none;
  none.Run(connection_, Value::Int32(404));
  EXPECT_TRUE(none.result);
  EXPECT_EQ(std::tie(none.out, none.message), std::tuple(Cycle().out, kEarlier));

  CommandLog log;
  Cycle missing;
  missing.Run(connection_, Value::Int32(0));
  EXPECT_FALSE(missing.result);
  EXPECT_EQ(missing.message, kGiveADocument);
  EXPECT_TRUE(log.commands().empty());

  // A failed conversion stops with the later outputs untouched.
  Cycle stopped;
  stopped.Run(connection_, Value::Int32(2), "N", Value("1"));
  EXPECT_FALSE(stopped.result);
  EXPECT_EQ(stopped.message,
            Value("Acesso a informações de tracking não disponível. Favor tentar mais tarde."))
      << "the conversion's own message, with no detail";
  std::array<Value, 17> expected = Cycle().out;
  const Value written[] = {Value::Int32(10), Value::Int32(20), Value::Int32(30), Value::Int32(40),
                           "01:30",          "00:02",          "01:00"};
  std::copy(std::begin(written), std::end(written), expected.begin());
  EXPECT_EQ(stopped.out, expected);
}

TEST(TripQuery, CycleMissingColumnFailsAfterTheDistancesAreWritten) {
  FixtureDatabase db{R"sql(
    INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_Resumo_Ciclo2',
      'SELECT 1 AS Km_total, 2 AS km_ate_rem, 3 AS km_rem_dest, 4 AS km_apos_dest,
              5 AS tempo_operacao, 6 AS tempo_transporte, 7 AS tempo_ate_rem,
              8 AS tempo_retorno, ?1 AS doc, ?2 AS flag');)sql"};
  Cycle cycle;
  cycle.Run(db.Open(), Value::Int32(1), "N", Value("1"));
  EXPECT_FALSE(cycle.result);
  const std::string message = ToString(cycle.message);
  EXPECT_EQ(message.rfind(kClientes.string() + "mBusca_Apuracao ( ", 0), 0u) << message;
  EXPECT_TRUE(message.ends_with(")   No Nº 2110")) << message;
  EXPECT_EQ(cycle.out[3], Value::Int32(4));
  EXPECT_EQ(cycle.out[4], kIn) << "no time is converted before all are read";
}

// A procedure missing from the catalog fails as its result set opens; the
// outputs stay as passed.
TEST(TripQuery, AMissingProcedureTrapsAtTheOpeningStepOfEach) {
  FixtureDatabase empty{""};
  const DbConnectionRef c = empty.Open();
  const Value one = Value::Int32(1);
  CommandLog log;
  // What the trap of `name` tells the diagnostic user, failing at `label`.
  const auto trapped = [&](const std::string& name, int label) {
    return kClientes & Detail(name + " ( ", log.last_error(), label);
  };
  Lookup l;
  l.Run(c, Value("1001"), one);
  EXPECT_EQ(std::tie(l.result, l.message, l.pai, l.num),
            std::tuple(false,
                       trapped("mConsulta_TROCA_DOCTO_TRANSP", 2890) &
                           "Strsq: EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   1001",
                       -1, "earlier"));
  Header h;
  h.Run(c, one, 0, "N", one);
  EXPECT_EQ(std::tie(h.result, h.message, h.num_pedido),
            std::tuple(false, trapped("mBusca_Dados_Docto_Viagem", 2520), kIn));
  Invoices i;
  i.Run(c, one, 0, "N", one);
  EXPECT_EQ(std::tie(i.result, i.message, i.qtde),
            std::tuple(false, trapped("mBusca_Nota_Fiscais", 5570), Value()));
  Occurrences o;
  o.Run(c, one, Value(), Value(), one);
  EXPECT_EQ(std::tie(o.result, o.message, o.qtde),
            std::tuple(false, trapped("mBusca_Dados_Viagem", 3440), kIn));
  Cycle y;
  y.Run(c, one, "N", one);
  EXPECT_EQ(std::tie(y.result, y.message, y.out[0]),
            std::tuple(false, trapped("mBusca_Apuracao", 1970), kIn));
}

// mConsulta_Dados_Rota.
class RouteMeasures : public TripQueryTest {
 protected:
  bool Query(Value route, Value user = Value::Int32(5)) {
    Value company;
    return CreateEVI()->mConsulta_Dados_Rota(user, company, route, connection_, km_, tempo_,
                                             message_);
  }

  Value km_{"km before"};
  Value tempo_{"time before"};
  Value message_{"message before"};
};

TEST_F(RouteMeasures, ShowsTheDistanceAsItComesAndOnlyTheTimeOfDay) {
  const std::tuple<const char*, Value, const char*, const char*> cases[] = {
      {"unknown route: nothing written", Value::Int32(99), "km before", "time before"},
      {"a day and two hours", Value::Int32(7), "412,5", "02:00"},
      {"45 minutes, route as text", Value("8"), "95", "00:45"},
      {"a time text", Value::Double(9), "10", "05:30"},
      {"only the first row counts", Value::Int32(10), "1", "12:00"},
      {"nulls", Value::Int32(12), "", ""}};
  for (const auto& [name, route, km, tempo] : cases) {
    SCOPED_TRACE(name);
    km_ = Value("km before");
    tempo_ = Value("time before");
    EXPECT_TRUE(Query(route));
    EXPECT_EQ(std::tie(km_, tempo_), std::tuple(Value(km), Value(tempo)));
  }
  EXPECT_EQ(message_, Value("message before"));
  CommandLog log;
  EXPECT_TRUE(Query(Value()));
  EXPECT_EQ(log.commands(), std::vector<std::string>{"Exec SP_ZEB_CON_Tempo_km_Rota  NULL"});
}

TEST_F(RouteMeasures, TrapsAtTheTimeKeepingTheDistanceOrAtTheOpeningStep) {
  EXPECT_FALSE(Query(Value::Int32(11), Value::Int32(1)));
  EXPECT_EQ(std::tie(km_, tempo_), std::tuple(Value("3"), Value("time before")));
  EXPECT_EQ(message_.string().rfind(kClientes.string() + "mConsulta_Dados_Rota ( ", 0), 0u);
  EXPECT_TRUE(message_.string().ends_with(" No Nº 4770")) << message_.string();

  km_ = Value("km before");
  RunSqlScript(db_.path(), "DROP TABLE rota;");
  EXPECT_FALSE(Query(Value::Int32(7)));
  EXPECT_EQ(message_, kClientes);
  CommandLog log;
  EXPECT_FALSE(Query(Value::Int32(7), Value("1")));
  EXPECT_EQ(message_, kClientes & Detail("mConsulta_Dados_Rota ( ", log.last_error(), 4690));
  EXPECT_NE(message_.string().find("no such table"), std::string::npos) << message_.string();
  EXPECT_EQ(km_, Value("km before"));
}

class RouteMeasuresOnEngines : public EngineTest {};

TEST_P(RouteMeasuresOnEngines, TheExecutableAnswersWithATraceLine) {
  const auto route = reference().summary.route_id;
  const CommandResult run = RunZebevi(
      {"call", "--trace", "mConsulta_Dados_Rota",
       nlohmann::json{{"invntRota_id", route}, {"inOdb", reference().connection_string}}.dump()});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto answer = nlohmann::json::parse(run.out);
  EXPECT_EQ(answer["result"]["value"], true);
  EXPECT_EQ(answer["params"]["outvntKm_Ate_Dest_Rota"]["type"], "String");
  EXPECT_FALSE(answer["params"]["outvntKm_Ate_Dest_Rota"]["value"].get<std::string>().empty());
  const std::string tempo = answer["params"]["outvntTempo_Ate_Dest_Rota"]["value"];
  EXPECT_TRUE(tempo.size() == 5 && tempo[2] == ':') << tempo;
  const auto trace = nlohmann::json::parse(run.err);
  EXPECT_EQ(trace["sql"], "Exec SP_ZEB_CON_Tempo_km_Rota  " + std::to_string(route));
  EXPECT_EQ(trace["rows"], 1);
  EXPECT_TRUE(trace["us"].is_number_integer());
}

ZEBEVI_INSTANTIATE_ON_ENGINES(RouteMeasuresOnEngines);

}  // namespace
}  // namespace zebevi::testing
