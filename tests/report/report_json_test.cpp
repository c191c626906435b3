// The version 1 JSON of the typed layer's answers: how each kind of figure
// is written, and that a figure without value is written as null beside
// its display.
#include "zebevi/report_json.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace zebevi::report {
namespace {

using Json = nlohmann::ordered_json;
using namespace std::chrono;

TEST(ReportJson, WritesEachKindOfFigureAsItsTypedValueBesideItsDisplay) {
  TripSummary summary;
  summary.status = 0;
  summary.document = {{"7", 7}, "100004 / 100001", "PI0000001"};
  summary.header.tractor = {"1234 - ABC1234", "1234", "ABC1234"};
  summary.header.actual_arrival = {"19/01/2024 14:59:46",
                                   local_days(2024y / January / 19) + 14h + 59min + 46s};
  summary.header.deadline = {"Fora do Prazo", Deadline::kLate};
  summary.invoices.push_back(
      {{"1005", 1005}, {"3363,328", 3363.328}, {"3.182.672,57", 3182672.57}});
  summary.occurrences.push_back(
      {{"16/01/2024 04:29", LocalMinutes(local_days(2024y / January / 16) + 4h + 29min)},
       "Início de viagem",
       {"125833", 125833.0},
       148min});
  summary.cycle.times.loading = {"01:12", 72min};
  summary.cycle.times.operation = {"9x:00", std::nullopt};
  summary.route.planned_time_of_day = {"20:18", TimeOfDay{20h + 18min}};

  // Not const: a missing key then reads as null instead of undefined.
  Json json = Json::parse(ToJson(summary));
  EXPECT_EQ(json["status"], 0);
  EXPECT_EQ(json["message"], nullptr);
  EXPECT_EQ(json["document"], (Json{{"id", {{"value", 7}, {"display", "7"}}},
                                    {"number", "100004 / 100001"},
                                    {"order_number", "PI0000001"}}));
  EXPECT_EQ(json["header"]["tractor"],
            (Json{{"display", "1234 - ABC1234"}, {"fleet_number", "1234"}, {"plate", "ABC1234"}}));
  EXPECT_EQ(json["header"]["trailer"],
            (Json{{"display", ""}, {"fleet_number", nullptr}, {"plate", nullptr}}));
  EXPECT_EQ(json["header"]["arrival"]["actual"]["value"], "2024-01-19T14:59:46");
  EXPECT_EQ(json["header"]["deadline"]["value"], "late");
  EXPECT_EQ(json["invoices"][0]["weight_kg"]["value"], 3363.328);
  EXPECT_EQ(json["invoices"][0]["declared_value_brl"],
            (Json{{"value", 3182672.57}, {"display", "3.182.672,57"}}));
  EXPECT_EQ(json["occurrences"][0]["at"]["value"], "2024-01-16T04:29");
  EXPECT_EQ(json["occurrences"][0]["minutes_since_previous"], 148);
  EXPECT_EQ(json["cycle"]["times"]["loading_minutes"], (Json{{"value", 72}, {"display", "01:12"}}));
  EXPECT_EQ(json["cycle"]["times"]["operation_minutes"],
            (Json{{"value", nullptr}, {"display", "9x:00"}}));
  EXPECT_EQ(json["route"]["planned_time_of_day"], (Json{{"value", "20:18"}, {"display", "20:18"}}));
}

TEST(ReportJson, WritesTheFlagsAndTheLookupsUnderTheirNamesInUtf8) {
  FeatureFlags flags;
  flags.status = 0;
  flags.message = "Direitos do grupo do usuário não cadastrados.";
  flags.flags[static_cast<std::size_t>(Feature::kInvoices)] = {"S", true};
  const Json features = Json::parse(ToJson(flags));
  EXPECT_EQ(features["message"], flags.message);
  ASSERT_EQ(features["features"].size(), kFeatureCount);
  EXPECT_EQ(features["features"].begin().key(), "order_number");
  EXPECT_EQ(features["features"]["invoices"], (Json{{"value", true}, {"display", "S"}}));
  EXPECT_EQ(features["features"]["customer"], (Json{{"value", nullptr}, {"display", ""}}));
  EXPECT_FALSE(flags.granted(Feature::kCustomer));
  EXPECT_EQ(FeatureCode(Feature::kOrderNumber), 114);
  EXPECT_EQ(FeatureCode(Feature::kCustomer), 126);

  OrderDocuments order;
  order.documents.push_back(
      {{"7", 7}, {"100004", 100004}, {"19/01/2024", local_days(2024y / January / 19)}, {}});
  const Json documents = Json::parse(ToJson(order));
  EXPECT_EQ(std::tuple(documents["status"], documents["count"]), std::tuple(10, nullptr));
  EXPECT_EQ(documents["documents"][0]["issued"]["value"], "2024-01-19");
  EXPECT_EQ(documents["documents"][0]["delivered"], (Json{{"value", nullptr}, {"display", ""}}));

  DocumentMatches matches;
  matches.message = "Documento n\xe3o cadastrado.";  // Latin-1 from a misconfigured database
  const Json json = Json::parse(ToJson(matches));
  EXPECT_EQ(json["message"], "Documento n\xef\xbf\xbdo cadastrado.");
}

}  // namespace
}  // namespace zebevi::report
