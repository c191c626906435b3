// gConsulta_Espelho_Viagem through the interface, on a fixture database for
// the edges. (Each kind of document of the reference data set: the engines
// agree over every operation's calls, and the schema check reads each.)
#include <gtest/gtest.h>

#include "db/connection_string.h"
#include "support/engines.h"
#include "support/operation_calls.h"
#include "trip_fixture.h"

namespace zebevi::testing {
namespace {

const char* const kOp = "gConsulta_Espelho_Viagem";
const char* const kDoc = "invntDOCTO_TRANSPORTE_ID";
const char* const kUser = "invntUsuario_Internet_id";
const char* const kMsg = "outvntMsg_ret";

// The summary of `document` on `db` for user 5, its outputs marked, `more`
// over that; the user group is never read.
OperationCall Summary(const std::string& db, Value document, const Inputs& more = {}) {
  return OperationCall(kOp,
                       Marked(kOp, With({{kUser, Value::Int32(5)},
                                         {"invntGrupo_Usuario_Id", Value::Array({"never read"})},
                                         {kDoc, std::move(document)},
                                         {kMsg, "earlier"}},
                                        more)),
                       db);
}

// The output `i` (a SummaryOutput).
Value Out(const OperationCall& call, int i) { return std::get<Value>(call.args[6 + i]); }

// The outputs that still hold their mark.
std::vector<int> Untouched(const OperationCall& call) {
  std::vector<int> outputs;
  for (int i = 0; i < kOutputs; ++i) {
    if (Out(call, i) == Value("in")) outputs.push_back(i);
  }
  return outputs;
}

// The outputs from `first` to `last`.
std::vector<int> Outputs(int first, int last) {
  std::vector<int> outputs;
  for (int i = first; i <= last; ++i) outputs.push_back(i);
  return outputs;
}

class TripSummaryTest : public ::testing::Test {
 protected:
  FixtureDatabase db_{kTrips};
  // Unpooled, so that releasing the connection closes the file.
  std::string unpooled_ = "Provider=SQLite;Data Source=" + db_.path().string() + ";Pooling=false";
};

TEST_F(TripSummaryTest, AnExchangedDocumentWithARouteRunsTheSixQueriesInOrder) {
  CommandLog log;
  const OperationCall summary = Summary(unpooled_, " 1001\t");
  EXPECT_EQ(summary.result, Value::Int16(0));
  EXPECT_EQ(log.commands(), (std::vector<std::string>{
                                "EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   1001",
                                "Exec SP_ZEB_CON_Dados_Doc_Viagem11 1001, 1000, 'S' ",
                                "exec SP_ZEB_CON_NOTA_FISCAL_DOCTO3 1001, 1000, 'S' ",
                                "Exec SP_ZEB_CON_TRACKING_CICLO5 1001, 1000, 'S' ",
                                "Exec SP_ZEB_CON_Resumo_Ciclo2 1001, 'S'",
                                "Exec SP_ZEB_CON_Tempo_km_Rota  7",
                            }));
  EXPECT_EQ(Untouched(summary), std::vector<int>{});
  // The client's identifier holds the cleaned text; a success writes no message.
  EXPECT_EQ(std::tuple(summary[kDoc], Out(summary, kNumDocto), Out(summary, kKmRota),
                       Out(summary, kTempoRota), summary[kMsg]),
            std::tuple(Value("1001"), Value("1000 / 1001 / 1002"), Value("412,5"), Value("02:00"),
                       Value("earlier")));
  EXPECT_EQ(OpenDescriptors(db_.path()), 0) << "the connection is gone";

  // Without exchange rows the parent stays 0 and the flag empty; a
  // customer gets the customer's tracking.
  CommandLog own;
  EXPECT_EQ(Summary(unpooled_, "30", {{"invntCliente_id", Value::Int32(33)}}).result,
            Value::Int16(0));
  EXPECT_EQ(own.commands(), (std::vector<std::string>{
                                "EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   30",
                                "Exec SP_ZEB_CON_Dados_Doc_Viagem11 30, 0, NULL ",
                                "exec SP_ZEB_CON_NOTA_FISCAL_DOCTO3 30, 0, NULL ",
                                "Exec SP_ZEB_CON_TRACK_CICLO_CLI5 30, 0, NULL ",
                                "Exec SP_ZEB_CON_Resumo_Ciclo2 30, NULL",
                            }));
}

TEST_F(TripSummaryTest, EachEdgeStopsOrSkipsWhereItShould) {
  const std::vector<int> all = Outputs(0, kOutputs - 1);
  const Value tracking("Acesso a informações de tracking não disponível. Favor tentar mais tarde.");
  const Value no_document("Informe um documento de transporte.");
  std::vector<int> after_return = Outputs(kTempoRetorno, kTempoRemDes);
  after_return.insert(after_return.end(), {kKmRota, kTempoRota});
  const std::vector<int> bare{kQtdeOcor, kDescrOcor, kDataOcor, kOdometroOcor, kKmRota, kTempoRota};
  // document, commands sent, status, message, outputs left alone
  const std::tuple<Value, std::size_t, std::int16_t, Value, std::vector<int>> cases[] = {
      {Value::Int32(20), 5, 0, "earlier", bare},  // no route, no occurrence
      {Value::Int32(40), 2, 10, "Documentação de Viagem não encontrada.", all},
      // The conversion's own message, with no detail even for user 1.
      {Value::Int32(50), 5, 10, tracking, after_return},
      {Value(" \t "), 0, 10, no_document, all},
      {Value::Int32(0), 0, 10, no_document, all},
  };
  for (const auto& [document, commands, status, message, untouched] : cases) {
    SCOPED_TRACE(::testing::PrintToString(document));
    CommandLog log;
    const OperationCall summary = Summary(unpooled_, document, {{kUser, Value::Int32(1)}});
    EXPECT_EQ(std::tuple(summary.result, summary[kMsg], log.commands().size(), Untouched(summary),
                         OpenDescriptors(db_.path())),
              std::tuple(Value::Int16(status), message, commands, untouched, 0));
  }
  EXPECT_EQ(Summary(unpooled_, Value::Int32(0))[kDoc], Value("0"));
  const OperationCall stopped = Summary(unpooled_, Value::Int32(50));
  // Earlier outputs stay written.
  EXPECT_EQ(
      std::tuple(Out(stopped, kNumDocto), Out(stopped, kQtdeOcor), Out(stopped, kTempoAteRem)),
      std::tuple(Value("CT-50"), Value::Int32(1), Value("01:00")));
}

TEST_F(TripSummaryTest, ItsOwnStepsTrapWithStatus50AndTheirLabels) {
  TempDir dir;
  const std::string unreachable = SqliteConnection(dir / "missing" / "trip.db");
  const Error refusal = FailureOf([&] { DbConnection().Open(unreachable, "SISTEMA", "TRMVQKD"); });
  const std::string prefix = "gConsulta_Espelho_Viagem ( ";
  const Error null_use = Error::InvalidUseOfNull();
  // A null document, a null connection string, an unreachable database.
  const std::tuple<Value, Value, std::string> cases[] = {
      {Value(unpooled_), Value::Null(), Detail(prefix, null_use, 1330)},
      {Value::Null(), Value::Int32(1001), Detail(prefix, null_use, 1300)},
      {Value(unreachable), Value(" 12\t"), Detail(prefix, refusal, 1320)},
  };
  for (const auto& [connection, document, detail] : cases) {
    SCOPED_TRACE(detail);
    const OperationCall summary =
        Summary("", document, {{kUser, "1"}, {"invntConecta_db", connection}});
    EXPECT_EQ(std::tuple(summary.result, summary[kMsg], Untouched(summary).size()),
              std::tuple(Value::Int16(50), kClientes & detail, std::size_t{kOutputs}));
  }
  const OperationCall far = Summary(unreachable, " 12\t");
  EXPECT_EQ(std::tuple(far[kMsg], far[kDoc]), std::tuple(kClientes, Value(" 12\t")))
      << "the identifier is never reached";
  EXPECT_EQ(OpenDescriptors(db_.path()), 0) << "released after the trap";

  UncreatableRules uncreatable;
  const OperationCall without_rules =
      Summary(unpooled_, Value::Int32(1001), {{kUser, Value::Int32(1)}});
  EXPECT_EQ(std::tuple(without_rules.result, without_rules[kMsg]),
            std::tuple(Value::Int16(50), kClientes & Detail(prefix, uncreatable.failure(), 1330)));
}

// The built-in account stands in only for a string that names no user: a
// user of the string's own, without the built-in password, fails the
// opening step instead of being replaced by SISTEMA.
TEST(TripSummary, AConnectionStringsOwnUserWins) {
  ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
  const EngineReference& postgres = ReferenceOn(Engine::kPostgres);
  const db::ConnectionString reference = db::ConnectionString::Parse(postgres.connection_string);
  const std::string where = "/" + *reference.Get("database") +
                            "?host=" + *reference.Get("data source") +
                            "&port=" + *reference.Get("port");
  const std::pair<std::string, int> cases[] = {
      {"postgresql://" + where, 0},
      {"postgresql://ninguem@" + where, 50},
      {postgres.connection_string + ";User ID=ninguem", 50},
  };
  for (const auto& [connection_string, status] : cases) {
    const OperationCall summary =
        Summary(connection_string,
                Value::Int32(static_cast<std::int32_t>(postgres.summary.exchanged_document_id)),
                {{kUser, Value::Int32(1)}});
    EXPECT_EQ(summary.result, Value::Int16(status)) << connection_string;
    // The server refuses the account: no password, or not its password.
    EXPECT_TRUE(status == 0 || ToString(summary[kMsg]).ends_with(")   No Nº 1320"));
  }
}

}  // namespace
}  // namespace zebevi::testing
