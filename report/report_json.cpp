#include "zebevi/report_json.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace zebevi::report {
namespace {

using Json = nlohmann::ordered_json;
using std::chrono::minutes;

std::string DayText(LocalDays day) {
  const std::chrono::year_month_day date(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

// "HH:MM", then ":SS" when `seconds`.
std::string ClockText(std::chrono::seconds since_midnight, bool seconds) {
  const std::chrono::hh_mm_ss<std::chrono::seconds> clock(since_midnight);
  char text[16];
  std::snprintf(text, sizeof text, seconds ? "%02d:%02d:%02d" : "%02d:%02d",
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

template <typename Duration>
std::string MomentText(std::chrono::local_time<Duration> moment, bool seconds) {
  const LocalDays day = std::chrono::floor<std::chrono::days>(moment);
  return DayText(day) + "T" + ClockText(moment - day, seconds);
}

// The typed value of each kind of figure as JSON.
Json ValueJson(double n) { return n; }
Json ValueJson(std::int64_t n) { return n; }
Json ValueJson(bool b) { return b; }
Json ValueJson(minutes m) { return m.count(); }
Json ValueJson(LocalDays day) { return DayText(day); }
Json ValueJson(LocalMinutes moment) { return MomentText(moment, false); }
Json ValueJson(LocalSeconds moment) { return MomentText(moment, true); }
Json ValueJson(TimeOfDay time) { return ClockText(time.since_midnight, false); }
Json ValueJson(Deadline deadline) {
  switch (deadline) {
    case Deadline::kOnTime:
      return "on_time";
    case Deadline::kLate:
      return "late";
    case Deadline::kUndetermined:
      return "undetermined";
  }
  return nullptr;
}

template <typename T>
Json OptionalJson(const std::optional<T>& value) {
  return value ? ValueJson(*value) : Json(nullptr);
}

template <typename T>
Json FigureJson(const Figure<T>& figure) {
  return Json{{"value", OptionalJson(figure.value)}, {"display", figure.display}};
}

Json MessageJson(const std::string& message) {
  return message.empty() ? Json(nullptr) : Json(message);
}

Json VehicleJson(const Vehicle& vehicle) {
  return Json{{"display", vehicle.display},
              {"fleet_number", vehicle.fleet_number ? Json(*vehicle.fleet_number) : Json(nullptr)},
              {"plate", vehicle.plate ? Json(*vehicle.plate) : Json(nullptr)}};
}

template <typename Block, typename Fields>
Json BlockJson(const Block& block, const Fields& fields) {
  Json json = Json::object();
  for (const auto& field : fields) json[std::string(field.name)] = FigureJson(block.*field.member);
  return json;
}

Json HeaderJson(const TripHeader& header) {
  return Json{{"tractor", VehicleJson(header.tractor)},
              {"trailer", VehicleJson(header.trailer)},
              {"driver", header.driver},
              {"product", header.product},
              {"sender", header.sender},
              {"consignee", header.consignee},
              {"customer", header.customer},
              {"arrival",
               {{"actual", FigureJson(header.actual_arrival)},
                {"planned", FigureJson(header.planned_arrival)},
                {"tracker_estimate", FigureJson(header.tracker_estimate)}}},
              {"deadline", FigureJson(header.deadline)}};
}

Json InvoicesJson(const std::vector<Invoice>& invoices) {
  Json rows = Json::array();
  for (const Invoice& invoice : invoices) {
    rows.push_back({{"number", FigureJson(invoice.number)},
                    {"weight_kg", FigureJson(invoice.weight_kg)},
                    {"declared_value_brl", FigureJson(invoice.declared_value_brl)}});
  }
  return rows;
}

Json OccurrencesJson(const std::vector<Occurrence>& occurrences) {
  Json rows = Json::array();
  for (const Occurrence& occurrence : occurrences) {
    rows.push_back({{"at", FigureJson(occurrence.at)},
                    {"description", occurrence.description},
                    {"odometer_km", FigureJson(occurrence.odometer_km)},
                    {"minutes_since_previous", OptionalJson(occurrence.since_previous)}});
  }
  return rows;
}

std::string Text(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string ToJson(const TripSummary& summary) {
  return Text(Json{
      {"status", summary.status},
      {"message", MessageJson(summary.message)},
      {"document",
       {{"id", FigureJson(summary.document.id)},
        {"number", summary.document.number},
        {"order_number", summary.document.order_number}}},
      {"header", HeaderJson(summary.header)},
      {"invoices", InvoicesJson(summary.invoices)},
      {"occurrences", OccurrencesJson(summary.occurrences)},
      {"cycle",
       {{"distances", BlockJson(summary.cycle.distances, kCycleDistanceFields)},
        {"times", BlockJson(summary.cycle.times, kCycleTimeFields)}}},
      {"route",
       {{"planned_km", FigureJson(summary.route.planned_km)},
        {"planned_time_of_day", FigureJson(summary.route.planned_time_of_day)}}},
  });
}

std::string ToJson(const FeatureFlags& flags) {
  Json features = Json::object();
  for (Feature feature : kFeatures) {
    features[std::string(FeatureName(feature))] = FigureJson(flags[feature]);
  }
  return Text(Json{{"status", flags.status},
                   {"message", MessageJson(flags.message)},
                   {"group", FigureJson(flags.group)},
                   {"features", std::move(features)}});
}

std::string ToJson(const DocumentMatches& matches) {
  Json rows = Json::array();
  for (const MatchedDocument& document : matches.documents) {
    rows.push_back({{"id", FigureJson(document.id)},
                    {"number", FigureJson(document.number)},
                    {"issued", FigureJson(document.issued)},
                    {"arrived", FigureJson(document.arrived)},
                    {"operating_point", document.operating_point},
                    {"customer", document.customer}});
  }
  return Text(Json{{"status", matches.status},
                   {"message", MessageJson(matches.message)},
                   {"query",
                    {{"order_number", matches.order_number},
                     {"invoice_number", matches.invoice_number},
                     {"document_number", matches.document_number}}},
                   {"count", OptionalJson(matches.count)},
                   {"documents", std::move(rows)}});
}

std::string ToJson(const OrderDocuments& documents) {
  Json rows = Json::array();
  for (const OrderDocument& document : documents.documents) {
    rows.push_back({{"id", FigureJson(document.id)},
                    {"number", FigureJson(document.number)},
                    {"issued", FigureJson(document.issued)},
                    {"delivered", FigureJson(document.delivered)}});
  }
  return Text(Json{{"status", documents.status},
                   {"message", MessageJson(documents.message)},
                   {"query", {{"order_number", documents.order_number}}},
                   {"count", OptionalJson(documents.count)},
                   {"return_value", OptionalJson(documents.return_value)},
                   {"documents", std::move(rows)}});
}

}  // namespace zebevi::report
