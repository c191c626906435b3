// The trip summary of one transport document, typed: gConsulta_Espelho_Viagem
// is called through the component's interface and its 47 outputs are read
// into plain blocks (document, header, invoices, tracking occurrences, cycle
// distances and times, planned route), every figure with the text the
// operation delivered beside the value read from it.
#ifndef ZEBEVI_TRIP_SUMMARY_H_
#define ZEBEVI_TRIP_SUMMARY_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zebevi/figure.h"
#include "zebevi/value.h"

namespace zebevi::report {

// The inputs of gConsulta_Espelho_Viagem, each passed as given (the
// operation's own rules judge them: an identifier may be an Int32 or a text).
struct TripQuery {
  std::string connection;  // invntConecta_db
  Value user;              // invntUsuario_Internet_id; 1 asks for the diagnostic detail
  Value user_group;        // invntGrupo_Usuario_Id: accepted, never read
  Value customer;          // invntCliente_id: selects the customer's tracking
  Value customer_group;    // invntGrupo_Cliente_id: the same
  Value document;          // invntDOCTO_TRANSPORTE_ID
};

struct TripDocument {
  IdentifierFigure id;       // the identifier as the operation cleaned it
  std::string number;        // "100004" or, after an exchange, "100004 / 100001 / 100002"
  std::string order_number;  // the internal order number
};

// A tractor or trailer: "fleet number - plate", or the fleet number alone
// when the plate is empty or the same.
struct Vehicle {
  std::string display;
  std::optional<std::string> fleet_number;  // nullopt when nothing was delivered
  std::optional<std::string> plate;         // nullopt when the display names none
  bool operator==(const Vehicle&) const = default;
};

// The on-time verdict: "No Prazo", "Fora do Prazo", "Prazo Indeterminado".
enum class Deadline { kOnTime, kLate, kUndetermined };

struct TripHeader {
  Vehicle tractor;
  Vehicle trailer;
  std::string driver;
  std::string product;
  std::string sender;
  std::string consignee;
  std::string customer;
  DateTimeFigure actual_arrival;
  DateTimeFigure planned_arrival;
  DateTimeFigure tracker_estimate;  // the arrival the tracking device estimates
  Figure<Deadline> deadline;
};

struct Invoice {
  IdentifierFigure number;
  NumberFigure weight_kg;           // "3363,328"
  NumberFigure declared_value_brl;  // "3.182.672,57"
};

struct Occurrence {
  MinuteFigure at;  // "16/01/2024 04:29"
  std::string description;
  NumberFigure odometer_km;
  // Since the occurrence before, when both moments read.
  std::optional<std::chrono::minutes> since_previous;
};

struct CycleDistances {
  NumberFigure total_km;
  NumberFigure to_sender_km;
  NumberFigure sender_to_consignee_km;
  NumberFigure after_consignee_km;
};

struct CycleTimes {
  DurationFigure operation;
  DurationFigure transport;
  DurationFigure to_sender;
  DurationFigure return_trip;
  DurationFigure loading_and_unloading;
  DurationFigure loading;
  DurationFigure unloading;
  DurationFigure waiting_window;
  DurationFigure after_loading;
  DurationFigure after_unloading;
  DurationFigure before_loading;
  DurationFigure before_unloading;
  DurationFigure sender_to_consignee;
};

// The like figures of a block in the operation's order, each with the
// output it is read from and its name in the JSON answer, for code that goes
// through them all.
template <typename Block, typename BlockFigure>
struct BlockField {
  std::string_view name;    // "loading_minutes"
  std::string_view output;  // "outvntTempo_Carga"
  BlockFigure Block::*member;
};
extern const std::array<BlockField<CycleDistances, NumberFigure>, 4> kCycleDistanceFields;
extern const std::array<BlockField<CycleTimes, DurationFigure>, 13> kCycleTimeFields;

struct TripCycle {
  CycleDistances distances;
  CycleTimes times;
};

struct PlannedRoute {
  NumberFigure planned_km;
  // The operation renders the planned travel time with the picture "hh:MM",
  // so only its hour and minute of the day survive: a route planned at
  // 68 h 18 min shows "20:18". Never more than 23:59.
  TimeOfDayFigure planned_time_of_day;
};

struct TripSummary {
  std::int32_t status = 10;  // 0 delivered, 10 nothing delivered, 50 the trap ran
  std::string message;       // outvntMsg_ret; "" when none
  TripDocument document;
  TripHeader header;
  std::vector<Invoice> invoices;
  std::vector<Occurrence> occurrences;
  TripCycle cycle;
  PlannedRoute route;

  // True when the cycle was measured (some time came back).
  bool has_cycle() const;
  // True when the document has a planned route.
  bool has_route() const;
};

// Calls gConsulta_Espelho_Viagem on a new EVI object. Throws zebevi::Error
// when the call itself fails.
TripSummary Trip(const TripQuery& query);

}  // namespace zebevi::report

#endif  // ZEBEVI_TRIP_SUMMARY_H_
