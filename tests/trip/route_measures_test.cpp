// mConsulta_Dados_Rota on a fixture database, and on the reference data set
// of every engine through the real executable.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/engines.h"
#include "trip_fixture.h"
#include "zebevi/evi.h"

namespace zebevi::testing {
namespace {

constexpr std::string_view kRoutes = R"sql(
CREATE TABLE rota (rota_id INTEGER, total_km REAL, tempo_previsto);
INSERT INTO zeb_procedure VALUES ('SP_ZEB_CON_Tempo_km_Rota',
  'SELECT total_km, tempo_previsto FROM rota WHERE rota_id = ?1 ORDER BY rowid');
INSERT INTO rota VALUES (7, 412.5, 1.0833333333333333);  -- a day and two hours
INSERT INTO rota VALUES (8, 95, 0.03125);                 -- 45 minutes
INSERT INTO rota VALUES (9, 10, '05:30');                 -- a time text
INSERT INTO rota VALUES (10, 1, 0.5);
INSERT INTO rota VALUES (10, 2, 0.75);                    -- a second row, ignored
INSERT INTO rota VALUES (11, 3, 1e9);                     -- past any calendar
INSERT INTO rota VALUES (12, NULL, NULL);
)sql";

class RouteMeasures : public ::testing::Test {
 protected:
  bool Query(Value route, Value user = Value::Int32(5)) {
    Value company;
    return evi_->mConsulta_Dados_Rota(user, company, route, connection_, km_, tempo_, message_);
  }

  FixtureDatabase db_{kRoutes};
  DbConnectionRef connection_ = db_.Open();
  std::shared_ptr<_EVI> evi_ = CreateEVI();
  Value km_{"km before"};
  Value tempo_{"time before"};
  Value message_{"message before"};
};

TEST_F(RouteMeasures, ShowsTheDistanceAsItComesAndOnlyTheTimeOfDay) {
  CommandLog log;
  EXPECT_TRUE(Query(Value::Int32(99)));
  EXPECT_EQ(km_, Value("km before")) << "an unknown route leaves everything alone";
  EXPECT_EQ(tempo_, Value("time before"));
  EXPECT_TRUE(Query(Value()));
  EXPECT_EQ(log.commands(), (std::vector<std::string>{"Exec SP_ZEB_CON_Tempo_km_Rota  99",
                                                      "Exec SP_ZEB_CON_Tempo_km_Rota  NULL"}));
  EXPECT_TRUE(Query(Value::Int32(7)));
  EXPECT_EQ(km_, Value("412,5"));
  EXPECT_EQ(tempo_, Value("02:00"));
  EXPECT_TRUE(Query(Value("8")));
  EXPECT_EQ(km_, Value("95"));
  EXPECT_EQ(tempo_, Value("00:45"));
  EXPECT_TRUE(Query(Value::Double(9)));
  EXPECT_EQ(tempo_, Value("05:30"));
  EXPECT_TRUE(Query(Value::Int32(10)));
  EXPECT_EQ(km_, Value("1")) << "only the first row counts";
  EXPECT_EQ(tempo_, Value("12:00"));
  EXPECT_TRUE(Query(Value::Int32(12)));
  EXPECT_EQ(km_, Value(""));
  EXPECT_EQ(tempo_, Value(""));
  EXPECT_EQ(message_, Value("message before"));
}

TEST_F(RouteMeasures, KeepsTheDistanceWhenTheTimeCannotBeShown) {
  EXPECT_FALSE(Query(Value::Int32(11), Value::Int32(1)));
  EXPECT_EQ(km_, Value("3"));
  EXPECT_EQ(tempo_, Value("time before"));
  EXPECT_EQ(message_.string().rfind(kClientes.string() + "mConsulta_Dados_Rota ( ", 0), 0u);
  EXPECT_TRUE(message_.string().ends_with(" No Nº 4770")) << message_.string();
}

TEST_F(RouteMeasures, TrapsADatabaseFailureAtTheOpeningStep) {
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
  const CommandResult run =
      RunZebevi({"call", "--trace", "mConsulta_Dados_Rota",
                 nlohmann::json{{"invntRota_id", reference().summary.route_id},
                                {"inOdb", reference().connection_string}}
                     .dump()});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto answer = nlohmann::json::parse(run.out);
  EXPECT_EQ(answer["result"]["value"], true);
  EXPECT_EQ(answer["params"]["outvntKm_Ate_Dest_Rota"]["type"], "String");
  EXPECT_FALSE(answer["params"]["outvntKm_Ate_Dest_Rota"]["value"].get<std::string>().empty());
  const std::string tempo = answer["params"]["outvntTempo_Ate_Dest_Rota"]["value"];
  EXPECT_EQ(tempo.size(), 5u);
  EXPECT_EQ(tempo[2], ':');
  const auto trace = nlohmann::json::parse(run.err);
  EXPECT_EQ(trace["sql"],
            "Exec SP_ZEB_CON_Tempo_km_Rota  " + std::to_string(reference().summary.route_id));
  EXPECT_EQ(trace["rows"], 1);
  EXPECT_TRUE(trace["us"].is_number_integer());
}

ZEBEVI_INSTANTIATE_ON_ENGINES(RouteMeasuresOnEngines);

}  // namespace
}  // namespace zebevi::testing
