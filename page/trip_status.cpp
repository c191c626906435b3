#include "page/trip_status.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace zebevi::page {
namespace {

constexpr std::array<std::string_view, 2> kArrivalTypes = {"Chegada no cliente",
                                                           "Início de descarga"};
constexpr std::array<std::string_view, 2> kDeliveryTypes = {"Fim de descarga", "Fim de viagem"};

bool OneOf(std::string_view type, const std::array<std::string_view, 2>& types) {
  return std::find(types.begin(), types.end(), type) != types.end();
}

}  // namespace

Stage StageOf(std::string_view occurrence_type) {
  if (OneOf(occurrence_type, kDeliveryTypes)) return Stage::kDelivered;
  if (OneOf(occurrence_type, kArrivalTypes)) return Stage::kArrived;
  return Stage::kInTransit;
}

std::vector<std::size_t> NewestFirst(const std::vector<report::Occurrence>& occurrences) {
  std::vector<std::size_t> order(occurrences.size());
  std::iota(order.rbegin(), order.rend(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const auto& at_a = occurrences[a].at.value;
    const auto& at_b = occurrences[b].at.value;
    if (at_a && at_b) return *at_a > *at_b;
    return at_a.has_value() && !at_b.has_value();
  });
  return order;
}

TripStatus StatusOf(const report::TripSummary& summary) {
  TripStatus status;
  if (!summary.occurrences.empty()) {
    status.latest = NewestFirst(summary.occurrences).front();
    status.stage = StageOf(summary.occurrences[*status.latest].description);
  }
  const report::TripHeader& header = summary.header;
  if (const auto planned = header.planned_arrival.value) {
    const auto& actual = header.actual_arrival.value;
    const auto& reference = actual ? actual : header.tracker_estimate.value;
    if (reference) {
      status.lateness = std::chrono::floor<std::chrono::minutes>(*reference - *planned);
      status.lateness_is_estimate = !actual.has_value();
    }
  }
  return status;
}

TripProgress ProgressOf(const report::TripSummary& summary) {
  TripProgress progress;
  progress.planned_km = summary.route.planned_km.value;
  if (progress.planned_km && *progress.planned_km <= 0) progress.planned_km.reset();
  std::vector<std::size_t> oldest_first = NewestFirst(summary.occurrences);
  std::reverse(oldest_first.begin(), oldest_first.end());
  std::vector<std::size_t> read;
  for (std::size_t i : oldest_first) {
    if (summary.occurrences[i].odometer_km.value) read.push_back(i);
  }
  if (read.size() < 2) return progress;
  const double start = *summary.occurrences[read.front()].odometer_km.value;
  const double latest = *summary.occurrences[read.back()].odometer_km.value;
  progress.travelled_km = std::max(0.0, latest - start);
  double span = std::max(*progress.travelled_km, progress.planned_km.value_or(0));
  for (std::size_t i : read) {
    span = std::max(span, *summary.occurrences[i].odometer_km.value - start);
  }
  if (span <= 0) return progress;
  for (std::size_t i : read) {
    const double at = (*summary.occurrences[i].odometer_km.value - start) / span;
    progress.marks.push_back({i, std::clamp(at, 0.0, 1.0)});
  }
  progress.travelled_share = *progress.travelled_km / span;
  if (progress.planned_km) progress.planned_share = *progress.planned_km / span;
  return progress;
}

}  // namespace zebevi::page
