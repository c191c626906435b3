#include "schema/trip.h"

#include <array>

namespace zebevi::schema {
namespace {

// Slack the carrier adds to the planned travel time when it promises an
// arrival to the customer.
constexpr std::int64_t kPromiseSlack = 2 * kHour;

struct WeightedMacro {
  Macro type;
  std::int64_t weight;  // percent
};

// What the tracking unit reports between loading and arrival.
constexpr WeightedMacro kOnTheRoad[] = {
    {Macro::kEmTransito, 40},    {Macro::kParadaDescanso, 14}, {Macro::kParadaRefeicao, 12},
    {Macro::kAbastecimento, 12}, {Macro::kPernoite, 8},        {Macro::kParadaNaoProgramada, 6},
    {Macro::kDesvioRota, 4},     {Macro::kManutencao, 4}};

Macro OnTheRoad(Random& random) {
  std::int64_t draw = random.Between(0, 99);
  for (const WeightedMacro& macro : kOnTheRoad) {
    if (draw < macro.weight) return macro.type;
    draw -= macro.weight;
  }
  return Macro::kEmTransito;
}

// One draw per statement: the order of evaluation within an expression is
// the compiler's choice, and the sequence of draws must not be.
void DrawCycle(Random& random, const TripRequest& request, CycleMeasures& c) {
  c.km_ate_rem = random.Between(0, 1500);
  c.ate_rem = c.km_ate_rem * 360 / random.Between(45, 60);
  c.ate_rem += random.Between(0, 20) * kMinute;
  c.ant_carga = random.Between(10 * kMinute, 6 * kHour);
  c.carga = random.Between(30 * kMinute, 5 * kHour);
  c.pos_carga = random.Between(5 * kMinute, 90 * kMinute);
  c.km_rem_dest = request.km_tenths * random.Between(97, 106) / 100;
  c.rem_dest = request.planned_seconds * random.Between(85, 115) / 100;
  c.ant_desc = random.Between(10 * kMinute, 10 * kHour);
  c.janela_espera = c.ant_desc * random.Between(0, 80) / 100;
  c.descarga = random.Between(30 * kMinute, 6 * kHour);
  c.pos_desc = random.Between(5 * kMinute, kHour);
  c.km_apos_dest = random.Between(0, 2500);
  c.retorno = c.km_apos_dest * 360 / random.Between(45, 60);
  c.retorno += random.Between(0, 30) * kMinute;
}

}  // namespace

std::int64_t PlannedTravelSeconds(std::int64_t km_tenths) {
  const std::int64_t driving = km_tenths * 6;
  const std::int64_t total =
      driving + driving / (11 * kHour / 2) * 30 * kMinute + driving / (10 * kHour) * 9 * kHour;
  return (total + kMinute - 1) / kMinute * kMinute;
}

void PlanTrip(Random& random, const TripRequest& request, Trip& trip) {
  CycleMeasures& c = trip.cycle;
  DrawCycle(random, request, c);

  const std::int64_t at_sender = request.start + c.ate_rem;
  const std::int64_t loading = at_sender + c.ant_carga;
  trip.loaded_at = loading + c.carga;
  const std::int64_t departure = trip.loaded_at + c.pos_carga;
  const std::int64_t arrival = departure + c.rem_dest;
  const std::int64_t unloading = arrival + c.ant_desc;
  const std::int64_t unloaded = unloading + c.descarga;
  const std::int64_t back = unloaded + c.pos_desc + c.retorno;

  const bool delivered = request.state == TripState::kDelivered;
  const bool planned = request.state != TripState::kUnplanned;
  trip.planned_arrival = planned ? trip.loaded_at + request.planned_seconds + kPromiseSlack : 0;
  trip.tracker_estimate =
      !planned    ? 0
      : delivered ? arrival + random.Between(-90, 90) * kMinute
                  : departure + request.planned_seconds + random.Between(-60, 180) * kMinute;
  trip.arrival = delivered ? arrival : 0;
  trip.unloaded_at = delivered ? unloaded : 0;

  const std::int64_t odometer = random.Between(80000, 950000);
  const std::int64_t at_sender_km = odometer + c.km_ate_rem / 10;
  const std::int64_t at_consignee_km = at_sender_km + c.km_rem_dest / 10;
  const std::array<Occurrence, 8> milestones = {{
      {Macro::kInicioViagem, request.start, odometer},
      {Macro::kChegadaRemetente, at_sender, at_sender_km},
      {Macro::kInicioCarga, loading, at_sender_km},
      {Macro::kFimCarga, trip.loaded_at, at_sender_km},
      {Macro::kChegadaCliente, arrival, at_consignee_km},
      {Macro::kInicioDescarga, unloading, at_consignee_km},
      {Macro::kFimDescarga, unloaded, at_consignee_km},
      {Macro::kFimViagem, back, at_consignee_km + c.km_apos_dest / 10},
  }};
  // A trip still under way has reported up to the end of loading.
  const std::int64_t reached = delivered ? 8 : 4;
  const std::int64_t count = random.Between(3, 20);

  trip.occurrences.clear();
  if (count <= reached) {
    for (std::int64_t j = 0; j < count; ++j) {
      trip.occurrences.push_back(
          milestones[static_cast<std::size_t>(j * (reached - 1) / (count - 1))]);
    }
    return;
  }
  trip.occurrences.insert(trip.occurrences.end(), milestones.begin(), milestones.begin() + 4);
  // Messages on the road, spread over the part of the journey made so far.
  const std::int64_t road = count - reached;
  const std::int64_t travelled = delivered ? c.rem_dest : c.rem_dest * random.Between(20, 80) / 100;
  const std::int64_t spacing = travelled / (road + 1);
  for (std::int64_t i = 1; i <= road; ++i) {
    const std::int64_t moment =
        departure + travelled * i / (road + 1) + random.Between(-spacing / 3, spacing / 3);
    const std::int64_t km =
        c.rem_dest == 0 ? 0 : c.km_rem_dest / 10 * (moment - departure) / c.rem_dest;
    trip.occurrences.push_back({OnTheRoad(random), moment, at_sender_km + km});
  }
  if (delivered) {
    trip.occurrences.insert(trip.occurrences.end(), milestones.begin() + 4, milestones.end());
  }
}

}  // namespace zebevi::schema
