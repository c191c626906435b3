// One trip cycle of a document, drawn at random but consistent: the moments
// of each stage, the measured cycle, the planned and estimated arrivals and
// the tracking occurrences all follow from the same timeline.
#ifndef ZEBEVI_SCHEMA_TRIP_H_
#define ZEBEVI_SCHEMA_TRIP_H_

#include <cstdint>
#include <vector>

#include "schema/calendar.h"
#include "schema/random.h"
#include "schema/reference_data.h"

namespace zebevi::schema {

enum class TripState {
  kDelivered,  // unloaded at the consignee
  kUnderWay,   // loaded, not yet at the consignee
  kUnplanned,  // under way without a planned arrival
};

// Distances in tenths of a kilometre, times in seconds.
struct CycleMeasures {
  std::int64_t km_ate_rem = 0;
  std::int64_t km_rem_dest = 0;
  std::int64_t km_apos_dest = 0;
  std::int64_t ate_rem = 0;
  std::int64_t ant_carga = 0;
  std::int64_t carga = 0;
  std::int64_t pos_carga = 0;
  std::int64_t rem_dest = 0;
  std::int64_t ant_desc = 0;
  std::int64_t janela_espera = 0;  // the part of ant_desc spent waiting for the window
  std::int64_t descarga = 0;
  std::int64_t pos_desc = 0;
  std::int64_t retorno = 0;
};

struct Occurrence {
  Macro type;
  std::int64_t moment;
  std::int64_t odometer;  // km
};

struct TripRequest {
  TripState state = TripState::kDelivered;
  std::int64_t start = 0;            // leaving for the sender
  std::int64_t km_tenths = 0;        // sender to consignee
  std::int64_t planned_seconds = 0;  // planned travel, sender to consignee
};

struct Trip {
  CycleMeasures cycle;
  std::int64_t loaded_at = 0;           // end of loading: when the document is issued
  std::int64_t planned_arrival = 0;     // 0 when unplanned
  std::int64_t tracker_estimate = 0;    // 0 when unplanned
  std::int64_t arrival = 0;             // at the consignee; 0 unless delivered
  std::int64_t unloaded_at = 0;         // 0 unless delivered
  std::vector<Occurrence> occurrences;  // 3 to 20, in time order
};

// Draws the trip of `request` into `trip`, reusing its storage.
void PlanTrip(Random& random, const TripRequest& request, Trip& trip);

// Planned travel time over a distance: 60 km/h, half an hour's rest every
// 5.5 hours at the wheel and a nine-hour night every 10, whole minutes.
std::int64_t PlannedTravelSeconds(std::int64_t km_tenths);

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_TRIP_H_
