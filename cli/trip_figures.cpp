#include "cli/trip_figures.h"

#include <algorithm>

#include "page/page_text.h"

namespace zebevi::cli {
namespace {

// The terminal shows the trip page's Portuguese labels.
const page::PageText& Labels() { return page::TextOf(page::Language::kPortuguese); }

}  // namespace

std::vector<ShownFigure> HeaderFigures(const report::TripSummary& summary) {
  const report::TripHeader& h = summary.header;
  const page::PageText& l = Labels();
  return {
      {l.order, "document.order_number", summary.document.order_number},
      {l.document, "document.number", summary.document.number},
      {l.tractor, "header.tractor", h.tractor.display},
      {l.trailer, "header.trailer", h.trailer.display},
      {l.driver, "header.driver", h.driver},
      {l.product, "header.product", h.product},
      {l.sender, "header.sender", h.sender},
      {l.consignee, "header.consignee", h.consignee},
      {l.customer, "header.customer", h.customer},
      {l.actual_arrival, "header.arrival.actual", h.actual_arrival.display},
      {l.planned_arrival, "header.arrival.planned", h.planned_arrival.display},
      {l.tracker_estimate, "header.arrival.tracker_estimate", h.tracker_estimate.display},
      {l.deadline, "header.deadline", h.deadline.display},
  };
}

std::vector<ShownFigure> DistanceFigures(const report::TripSummary& summary) {
  std::vector<ShownFigure> figures;
  const auto& fields = report::kCycleDistanceFields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    figures.push_back({Labels().distance_labels[i],
                       "cycle.distances." + std::string(fields[i].name),
                       (summary.cycle.distances.*fields[i].member).display});
  }
  return figures;
}

std::vector<ShownTime> TimeFigures(const report::TripSummary& summary) {
  std::vector<ShownTime> figures;
  const auto& fields = report::kCycleTimeFields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const report::DurationFigure& time = summary.cycle.times.*fields[i].member;
    figures.push_back({Labels().time_labels[i], "cycle.times." + std::string(fields[i].name),
                       time.display, time.value});
  }
  return figures;
}

std::vector<ShownFigure> RouteFigures(const report::TripSummary& summary) {
  return {
      {Labels().route_distance, "route.planned_km", summary.route.planned_km.display},
      {Labels().route_time, "route.planned_time_of_day", summary.route.planned_time_of_day.display},
  };
}

bool HasText(const std::vector<ShownFigure>& figures) {
  return std::any_of(figures.begin(), figures.end(),
                     [](const ShownFigure& f) { return !f.text.empty(); });
}

}  // namespace zebevi::cli
