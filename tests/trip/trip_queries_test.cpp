// The six queries the trip summary is made of, each operation on its own,
// called by name on the trip tables: one row per edge, giving the outputs
// it writes; every other output must keep what the caller passed.
#include <gtest/gtest.h>

#include "support/operation_calls.h"
#include "trip_fixture.h"

namespace zebevi::testing {
namespace {

const char* const kDoc = "invntDOCTO_TRANSPORTE_ID";
const char* const kUser = "invntUsuario_Internet_id";
const char* const kMsg = "outvntMsg_ret";
const Value kTrue = Value::Boolean(true);
const Value kFalse = Value::Boolean(false);
// Tracking and cycle say it with a capital T and a trailing blank.
const Value kGiveADocument("Informe um documento de Transporte. ");
const Value kTracking("Acesso a informações de tracking não disponível. Favor tentar mais tarde.");

Value Int(std::int32_t n) { return Value::Int32(n); }
Value List(ValueArray items) { return Value::Array(std::move(items)); }

// Each test on its own copy of the trip tables.
class TripQueryTest : public ::testing::Test {
 protected:
  void ExpectRows(std::string_view operation, const std::vector<CallRow>& rows) const {
    ExpectCalls(operation, rows, db_);
  }

  FixtureDatabase fixture_{kTrips};
  std::string db_ = SqliteConnection(fixture_.path());
};

// The parent flag is written only without an exchange; a null retorno reads
// as 0: an exchange with an unknown parent; a parent beyond 32 bits fails
// after the count is set.
TEST_F(TripQueryTest, ExchangeGivesParentChildrenAndTheirNumbers) {
  const char* op = "mConsulta_TROCA_DOCTO_TRANSP";
  const auto answer = [](int pai, Value filhos, const char* num, int qtde) {
    return Inputs{{"outlngDOCTO_TRANSP_PAI_ID", Int(pai)},
                  {"outarrlngDOCTO_TRANSP_FILHO_ID", std::move(filhos)},
                  {"outstrNum_docto", num},
                  {"outlngQtde_Docto", Int(qtde)},
                  {"outstrFlag_Troca_Nota", "S"}};
  };
  const Inputs counted{{"outlngQtde_Docto", Int(1)},
                       {"outarrlngDOCTO_TRANSP_FILHO_ID", List({Int(0)})}};
  // clang-format off
  ExpectRows(op, {
      {"exchange", {{kDoc, "1001"}}, kTrue,
       answer(1000, List({Int(1001), Int(1002)}), "1000 / 1001 / 1002", 2)},
      {"one child", {{kDoc, Int(600)}}, kTrue, answer(601, List({Int(600)}), "P-601 / C-600", 1)},
      {"null fields", {{kDoc, Int(800)}}, kTrue, answer(0, List({Int(0)}), " / ", 1)},
      {"no exchange: its own parent, whatever rows follow", {{kDoc, "500"}}, kTrue,
       {{"outlngDOCTO_TRANSP_PAI_ID", Int(500)}, {"outstrNum_docto", ""},
        {"outlngQtde_Docto", Int(0)}, {"outstrFlag_Docto_Pai", "S"}, {"outstrFlag_Troca_Nota", "N"}}},
      {"no row", {{kDoc, Int(404)}}, kTrue, {}},
      {"overflow", {{kDoc, Int(900)}, {kUser, "1"}}, kFalse,
       With(counted, {{kMsg, kClientes & "mConsulta_TROCA_DOCTO_TRANSP ( Overflow : 6)   No Nº 3090"
                                          "Strsq: EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   900"}})},
      {"overflow, not the diagnostic user", {{kDoc, Int(900)}, {kUser, Int(5)}}, kFalse,
       With(counted, {{kMsg, kClientes}})},
  });
  // clang-format on
  // A failure before the command is built quotes nothing.
  UncreatableRules uncreatable;
  EXPECT_EQ(OperationCall(op, {{kDoc, "1001"}, {kUser, "1"}}, db_)[kMsg],
            kClientes & (Detail("mConsulta_TROCA_DOCTO_TRANSP ( ", uncreatable.failure(), 2860) +
                         "Strsq: "));
}

// The header outputs of document 1's first row.
const Inputs kHeader{{"outvntNum_Pedido", "PED-77"},
                     {"outvntNum_docto_Transporte", "CT-1001"},
                     {"outvntCavalo", "1234 - ABC1234"},
                     {"outvntCarreta", "XYZ9876"},
                     {"outvntColaborador", "João da Silva"},
                     {"outvntData_Chegada_Cliente_Efetiva", "05/03/2026 14:07:09"},
                     {"outvntdata_Chegada_cliente_prevista", "06/03/2026 08:00:00"},
                     {"outvntFlag_no_prazo", "Prazo Indeterminado"},
                     {"outvntData_Prevista_Rastreador", "31/12/2026 23:59:59"},
                     {"outvntRemetente", "Agro Sul Ltda"},
                     {"outvntDestinatario", "Porto Norte S.A."},
                     {"outvntCliente", "Cooperativa Central"},
                     {"outlngRota_id", Int(7)},
                     {"outvntProduto", "Soja em grão"}};

TEST_F(TripQueryTest, HeaderFillsEveryOutputFromTheFirstRowAndNullsAsEmptyTexts) {
  const Inputs flag{{"outstrFlag_Troca_Nota", "N"}};
  Inputs overflow = kHeader;  // the route and the verdict stay
  overflow.erase("outlngRota_id");
  overflow.erase("outvntFlag_no_prazo");
  // clang-format off
  ExpectRows("mBusca_Dados_Docto_Viagem", {
      {"complete", With(flag, {{kDoc, "1"}, {"lngDOCTO_TRANSP_PAI_ID", Int(1000)}}), kTrue,
       kHeader},
      {"nulls", With(flag, {{kDoc, Int(2)}}), kTrue,
       With(kHeader, {{"outvntData_Chegada_Cliente_Efetiva", ""},
                      {"outvntdata_Chegada_cliente_prevista", ""},
                      {"outvntData_Prevista_Rastreador", ""}, {"outvntProduto", ""},
                      {"outlngRota_id", Int(0)}})},
      {"no row", With(flag, {{kDoc, Int(404)}}), kFalse,
       {{kMsg, "Documentação de Viagem não encontrada."}}},
      // A route beyond 32 bits fails after the earlier outputs are written.
      {"route overflow", With(flag, {{kDoc, Int(3)}, {kUser, "1"}}), kFalse,
       With(overflow,
            {{kMsg, kClientes & "mBusca_Dados_Docto_Viagem ( Overflow : 6)   No Nº 2700"}})},
  });
  // clang-format on
}

TEST(TripQuery, HeaderJoinsVehicleAndPlateWhenBothAreKnownAndDifferAndTellsTheExactVerdict) {
  const std::tuple<const char*, const char*, const char*, Value> cases[] = {
      {"CAVALO, PLACA_CAVALO", "'1234', 'ABC1234'", "outvntCavalo", "1234 - ABC1234"},
      {"carreta, PLACA_carreta", "'ABC1234', 'ABC1234'", "outvntCarreta", "ABC1234"},
      {"carreta, PLACA_carreta", "'abc1234', 'ABC1234'", "outvntCarreta", "abc1234 - ABC1234"},
      {"CAVALO, PLACA_CAVALO", "'1234', NULL", "outvntCavalo", "1234"},
      {"CAVALO, PLACA_CAVALO", "NULL, 'ABC1234'", "outvntCavalo", ""},
      {"flag_no_prazo", "'N'", "outvntFlag_no_prazo", "Fora do Prazo"},
      {"flag_no_prazo", "' N '", "outvntFlag_no_prazo", "Fora do Prazo"},
      {"flag_no_prazo", "'n'", "outvntFlag_no_prazo", "No Prazo"},
      {"flag_no_prazo", "NULL", "outvntFlag_no_prazo", "No Prazo"}};
  for (const auto& [columns, values, output, shown] : cases) {
    FixtureDatabase db{kTrips + "INSERT INTO cabec (doc, " + columns + ") VALUES (100, " + values +
                       ");"};
    const OperationCall call("mBusca_Dados_Docto_Viagem", {{kDoc, Int(100)}},
                             SqliteConnection(db.path()));
    EXPECT_EQ(call[output], shown) << columns << " " << values;
  }
}

// Weights as the rules give them, unformatted; declared values by the
// picture, with grouping and two decimals; occurrences day first.
TEST_F(TripQueryTest, InvoicesAndTrackingListTheirRowsInOrderInFreshLists) {
  const Value old = List({"old", "old", "old", "old"});
  const Inputs fresh{{"outarrvntNota_Fiscal", old}, {"outarrvntDescr_Ocor", old}};
  const Inputs no_document{{kMsg, "Informe um documento de transporte."}};
  // clang-format off
  ExpectRows("mBusca_Nota_Fiscais", {
      {"invoices", With(fresh, {{kDoc, "1"}, {"inlngdocto_transp_pai", Int(1000)}}), kTrue,
       {{"outvntQtde_Nota", Int(3)}, {"outarrvntNota_Fiscal", List({"000123", "000124", "000125"})},
        {"outarrvntPeso_Real", List({"1500,5", "20000", ""})},
        {"outarrvntVal_Declarado", List({"0,50", "1.234.567,00", "1.234,50"})}}},
      {"a negative value", {{kDoc, Int(2)}}, kTrue,
       {{"outvntQtde_Nota", Int(1)}, {"outarrvntNota_Fiscal", List({"000200"})},
        {"outarrvntPeso_Real", List({"10"})}, {"outarrvntVal_Declarado", List({"-1.234,57"})}}},
      {"no invoice", With(fresh, {{kDoc, Int(404)}}), kTrue, {}},
      {"blank document", {{kDoc, "  "}}, kFalse, no_document, 0},
      {"zero document", {{kDoc, Int(0)}}, kFalse, no_document, 0},
  });
  ExpectRows("mBusca_Dados_Viagem", {
      {"tracking", With(fresh, {{kDoc, "1"}}), kTrue,
       {{"outvntQtde_Ocor", Int(3)},
        {"outarrvntDescr_Ocor",
         List({"Início de viagem", "Parada para descanso", "Chegada no cliente"})},
        {"outarrvntData_Ocor", List({"05/03/2026 14:07", "05/03/2026 22:30", "06/03/2026 08:05"})},
        {"outarrvntOdometro_Ocor", List({"123456,7", "123789", ""})}}},
      {"no occurrence", With(fresh, {{kDoc, Int(404)}}), kTrue, {}},
      // Refused before a procedure is chosen.
      {"no document", {{kDoc, ""}, {"invntGrupo_Cliente_id", "not a number"}}, kFalse,
       {{kMsg, kGiveADocument}}, 0},
  });
  // clang-format on

  // The customer's view leaves out the occurrences not meant for customers.
  const std::tuple<Value, Value, bool> viewers[] = {{Value(), Value(), false},
                                                    {Value::Null(), Value("0"), false},
                                                    {Int(0), Int(5), true},
                                                    {Value("12"), Value(), true}};
  for (const auto& [cliente, grupo, customer] : viewers) {
    SCOPED_TRACE(::testing::PrintToString(cliente) + " " + ::testing::PrintToString(grupo));
    CommandLog log;
    const OperationCall call(
        "mBusca_Dados_Viagem",
        {{kDoc, Int(1)}, {"invntCliente_id", cliente}, {"invntGrupo_Cliente_id", grupo}}, db_);
    EXPECT_EQ(log.commands(),
              std::vector<std::string>{customer ? "Exec SP_ZEB_CON_TRACK_CICLO_CLI5 1, 0, NULL "
                                                : "Exec SP_ZEB_CON_TRACKING_CICLO5 1, 0, NULL "});
    EXPECT_EQ(call["outvntQtde_Ocor"], Int(customer ? 2 : 3));
  }
}

// The times in the row's order; Tempo_proc is read, not summed; a null is
// 00:00. A failed conversion stops with the later outputs untouched, with
// the conversion's own message and no detail.
TEST_F(TripQueryTest, CycleGivesDistancesAsNumbersAndTimesAsHoursAndMinutesUntilAConversionFails) {
  const char* op = "mBusca_Apuracao";
  // clang-format off
  ExpectRows(op, {
      {"cycle", {{kDoc, "1"}, {"instrFlag_Nota_Fiscal", "S"}}, kTrue,
       InOrder(op, {Value::Double(1250.5), Int(300), Int(0), Value::Double(50.25), "01:30", "00:02",
                    "01:00", "24:00", "25:01", "00:01", "00:59", "100:00", "00:03", "02:00",
                    "596523:14", "00:00", "00:04"})},
      {"no cycle", {{kDoc, Int(404)}}, kTrue, {}},
      {"no document", {{kDoc, Int(0)}}, kFalse, {{kMsg, kGiveADocument}}, 0},
      {"return time too long", {{kDoc, Int(2)}, {kUser, "1"}}, kFalse,
       With(InOrder(op, {Int(10), Int(20), Int(30), Int(40), "01:30", "00:02", "01:00"}),
            {{kMsg, kTracking}})},
  });
  // clang-format on
}

TEST(TripQuery, CycleMissingColumnFailsAfterTheDistancesAreWritten) {
  FixtureDatabase db{R"sql(
    INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_Resumo_Ciclo2',
      'SELECT 1 AS Km_total, 2 AS km_ate_rem, 3 AS km_rem_dest, 4 AS km_apos_dest,
              5 AS tempo_operacao, 6 AS tempo_transporte, 7 AS tempo_ate_rem,
              8 AS tempo_retorno, ?1 AS doc, ?2 AS flag');)sql"};
  const OperationCall call("mBusca_Apuracao",
                           Marked("mBusca_Apuracao", {{kDoc, Int(1)}, {kUser, "1"}}),
                           SqliteConnection(db.path()));
  EXPECT_EQ(call.result, kFalse);
  const std::string message = ToString(call[kMsg]);
  EXPECT_EQ(message.rfind(kClientes.string() + "mBusca_Apuracao ( ", 0), 0u) << message;
  EXPECT_TRUE(message.ends_with(")   No Nº 2110")) << message;
  EXPECT_EQ(call["outvntKm_Apos_Dest"], Int(4));
  EXPECT_EQ(call["outvntTempo_Operacao"], Value("in"))
      << "no time is converted before all are read";
}

// A procedure missing from the catalog fails as its result set opens; the
// outputs stay as passed.
TEST(TripQuery, AMissingProcedureTrapsAtTheOpeningStepOfEach) {
  FixtureDatabase empty{""};
  const std::tuple<const char*, int, std::string> cases[] = {
      {"mConsulta_TROCA_DOCTO_TRANSP", 2890, "Strsq: EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   1"},
      {"mBusca_Dados_Docto_Viagem", 2520, ""},
      {"mBusca_Nota_Fiscais", 5570, ""},
      {"mBusca_Dados_Viagem", 3440, ""},
      {"mBusca_Apuracao", 1970, ""},
      {"mConsulta_Dados_Rota", 4690, ""}};
  for (const auto& [op, label, quote] : cases) {
    SCOPED_TRACE(op);
    CommandLog log;
    const Inputs inputs = Marked(op, {{kDoc, Int(1)}, {"invntRota_id", Int(1)}, {kUser, Int(1)}});
    const OperationCall call(op, inputs, SqliteConnection(empty.path()));
    ExpectCall(
        call, inputs, kFalse,
        {{kMsg, kClientes & (Detail(std::string(op) + " ( ", log.last_error(), label) + quote)}});
  }
}

TEST_F(TripQueryTest, RouteShowsTheDistanceAsItComesAndOnlyTheTimeOfDay) {
  const char* op = "mConsulta_Dados_Rota";
  const auto route = [](Value id) { return Inputs{{"invntRota_id", std::move(id)}}; };
  const auto shown = [](const char* km, const char* tempo) {
    return Inputs{{"outvntKm_Ate_Dest_Rota", km}, {"outvntTempo_Ate_Dest_Rota", tempo}};
  };
  // clang-format off
  ExpectRows(op, {
      {"unknown route", route(Int(99)), kTrue, {}},
      {"a day and two hours", route(Int(7)), kTrue, shown("412,5", "02:00")},
      {"45 minutes, route as text", route("8"), kTrue, shown("95", "00:45")},
      {"a time text", route(Value::Double(9)), kTrue, shown("10", "05:30")},
      {"only the first row counts", route(Int(10)), kTrue, shown("1", "12:00")},
      {"nulls", route(Int(12)), kTrue, shown("", "")},
      {"past any calendar: the distance stays", route(Int(11)), kFalse,
       {{"outvntKm_Ate_Dest_Rota", "3"}, {kMsg, kClientes}}},
  });
  // clang-format on
  CommandLog log;
  OperationCall(op, {}, db_);
  EXPECT_EQ(log.commands(), std::vector<std::string>{"Exec SP_ZEB_CON_Tempo_km_Rota  NULL"});
  const OperationCall far(op, With(route(Int(11)), {{kUser, Int(1)}}), db_);
  EXPECT_TRUE(ToString(far[kMsg]).ends_with(" No Nº 4770")) << ToString(far[kMsg]);
}

}  // namespace
}  // namespace zebevi::testing
