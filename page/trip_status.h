// Where the load stands, read from the trip summary alone: the stage the
// latest tracking occurrence's type says, how late or early the arrival is
// against the planned one, and how far the odometer has run against the
// planned route.
#ifndef ZEBEVI_PAGE_TRIP_STATUS_H_
#define ZEBEVI_PAGE_TRIP_STATUS_H_

#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "zebevi/trip_summary.h"

namespace zebevi::page {

enum class Stage { kNotStarted, kInTransit, kArrived, kDelivered };

// The stage an occurrence of this type (its description) puts the load in:
// at the consignee from "Chegada no cliente" and "Início de descarga",
// delivered from "Fim de descarga" and "Fim de viagem", in transit for any
// other type.
Stage StageOf(std::string_view occurrence_type);

// The occurrences' positions, newest first: by their moment, those whose
// moment does not read after the others, ties in reverse delivery order.
std::vector<std::size_t> NewestFirst(const std::vector<report::Occurrence>& occurrences);

struct TripStatus {
  Stage stage = Stage::kNotStarted;
  std::optional<std::size_t> latest;  // the latest occurrence's position; none without any
  // The arrival against the planned one (positive: late), from the actual
  // arrival once there is one, else from the tracker's estimate.
  std::optional<std::chrono::minutes> lateness;
  bool lateness_is_estimate = false;
};

TripStatus StatusOf(const report::TripSummary& summary);

struct TripProgress {
  // From the first odometer reading to the latest one; none without two readings.
  std::optional<double> travelled_km;
  std::optional<double> planned_km;  // the planned route's distance, when there is one
  // Each occurrence with a reading, as the share of the strip it sits at
  // (0 to 1), oldest first.
  struct Mark {
    std::size_t occurrence;
    double at;
  };
  std::vector<Mark> marks;
  double travelled_share = 0;           // the strip's filled part
  std::optional<double> planned_share;  // where the planned distance ends on the strip
};

// The strip spans the longer of the planned and the travelled distance.
TripProgress ProgressOf(const report::TripSummary& summary);

}  // namespace zebevi::page

#endif  // ZEBEVI_PAGE_TRIP_STATUS_H_
