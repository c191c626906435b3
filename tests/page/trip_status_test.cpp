// Where the load stands, as the trip page reads it from the summary: the
// stage from the latest occurrence's type, the lateness against the planned
// arrival, and the odometer's run against the planned route.
#include "page/trip_status.h"

#include <gtest/gtest.h>

namespace zebevi::page {
namespace {

using std::chrono::minutes;
using namespace std::chrono_literals;

constexpr report::LocalSeconds kNoon{std::chrono::local_days{std::chrono::year{2024} / 1 / 19} +
                                     12h};

report::Occurrence At(report::LocalSeconds when, std::string type, std::optional<double> km = 0) {
  report::Occurrence o;
  o.at.display = "shown";
  o.at.value = std::chrono::floor<minutes>(when);
  o.description = std::move(type);
  o.odometer_km.value = km;
  return o;
}

TEST(TripStatus, TakesTheStageFromTheLatestOccurrence) {
  using enum Stage;
  for (const auto& [stage, latest, occurrences] :
       std::vector<std::tuple<Stage, std::optional<std::size_t>, std::vector<report::Occurrence>>>{
           {kNotStarted, std::nullopt, {}},
           {kInTransit, 1, {At(kNoon, "Fim de carga"), At(kNoon + 1h, "Parada para descanso")}},
           {kArrived, 0, {At(kNoon, "Início de descarga")}},
           // The procedure's order is not the occurrences' order: the latest
           // moment counts, wherever it comes.
           {kDelivered, 0, {At(kNoon + 9h, "Fim de viagem"), At(kNoon, "Chegada no cliente")}},
           {kDelivered, 1, {At(kNoon, "Chegada no cliente"), At(kNoon, "Fim de descarga")}}}) {
    report::TripSummary summary;
    summary.occurrences = occurrences;
    const TripStatus status = StatusOf(summary);
    EXPECT_EQ(status.stage, stage) << occurrences.size() << " occurrences";
    EXPECT_EQ(status.latest, latest) << occurrences.size() << " occurrences";
  }
}

TEST(TripStatus, MeasuresTheLatenessFromTheActualArrivalElseTheEstimate) {
  report::TripSummary summary;
  summary.header.planned_arrival.value = kNoon;
  EXPECT_FALSE(StatusOf(summary).lateness);
  summary.header.tracker_estimate.value = kNoon - 25min;
  EXPECT_EQ(StatusOf(summary).lateness, minutes(-25));
  EXPECT_TRUE(StatusOf(summary).lateness_is_estimate);
  summary.header.actual_arrival.value = kNoon + 3h + 4min;
  EXPECT_EQ(StatusOf(summary).lateness, minutes(184));
}

TEST(TripStatus, SpansTheProgressStripOverTheLongerDistance) {
  report::TripSummary summary;
  summary.occurrences = {At(kNoon + 2h, "Chegada no cliente", 1250),
                         At(kNoon, "Início de viagem", 1000), At(kNoon + 1h, "Em trânsito", {})};
  summary.route.planned_km.value = 500;
  TripProgress progress = ProgressOf(summary);
  EXPECT_EQ(progress.travelled_km, 250);
  EXPECT_DOUBLE_EQ(progress.travelled_share, 0.5);
  ASSERT_EQ(progress.marks.size(), 2u);  // the reading-less occurrence has no mark
  EXPECT_EQ(progress.marks[0].occurrence, 1u);
  EXPECT_DOUBLE_EQ(progress.marks[1].at, 0.5);
  summary.route.planned_km.value = 200;  // run past the plan
  EXPECT_DOUBLE_EQ(*ProgressOf(summary).planned_share, 0.8);

  summary.occurrences.resize(1);  // one reading measures nothing
  EXPECT_FALSE(ProgressOf(summary).travelled_km);
}

}  // namespace
}  // namespace zebevi::page
