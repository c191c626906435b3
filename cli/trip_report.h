// The trip summary of one transport document as the friendly verbs show
// it: gConsulta_Espelho_Viagem is called through the interface, and its 47
// parameters are gathered into plain blocks (header, invoices, tracking
// occurrences, distances, cycle times, planned route), each figure labelled
// for a person and still tied to the output it came from.
#ifndef ZEBEVI_CLI_TRIP_REPORT_H_
#define ZEBEVI_CLI_TRIP_REPORT_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/operation_call.h"
#include "zebevi/value.h"

namespace zebevi::cli {

inline constexpr std::string_view kTripOperation = "gConsulta_Espelho_Viagem";

// An output of the operation and the label a person reads beside it.
struct OutputLabel {
  std::string_view output;
  std::string_view label;
};

// The outputs of each block, in the order they are shown.
extern const std::array<OutputLabel, 13> kHeaderOutputs;
extern const std::array<OutputLabel, 3> kInvoiceLists;     // count: outvntQtde_Nota
extern const std::array<OutputLabel, 3> kOccurrenceLists;  // count: outvntQtde_Ocor
extern const std::array<OutputLabel, 4> kDistanceOutputs;
extern const std::array<OutputLabel, 13> kTimeOutputs;
extern const std::array<OutputLabel, 2> kRouteOutputs;

// The output names of a block.
template <std::size_t N>
std::vector<std::string_view> OutputNames(const std::array<OutputLabel, N>& outputs) {
  std::vector<std::string_view> names;
  for (const OutputLabel& o : outputs) names.push_back(o.output);
  return names;
}

struct LabelledText {
  std::string_view output;
  std::string_view label;
  std::string text;
};

// True when some field of `block` has a text.
bool HasText(const std::vector<LabelledText>& block);

struct CycleTime {
  std::string_view output;
  std::string_view label;
  std::string text;                     // "HH:MM" as the operation gave it
  std::optional<std::int64_t> minutes;  // nullopt when the text is no time
};

struct Invoice {
  std::string number;
  std::string weight;
  std::string declared_value;
};

struct Occurrence {
  std::string when;  // "dd/mm/yyyy hh:mm"
  std::string description;
  std::string odometer;
  // Minutes since the occurrence before, when both times read as dates.
  std::optional<std::int64_t> minutes_since_previous;
};

struct TripReport {
  std::string document;  // the identifier as the operation cleaned it
  std::int32_t result = 10;
  std::string message;  // outvntMsg_ret
  std::vector<LabelledText> header;
  std::vector<Invoice> invoices;
  std::vector<Occurrence> occurrences;
  std::vector<LabelledText> distances;
  std::vector<CycleTime> times;
  std::vector<LabelledText> route;

  // The header text of `output` ("" when there is none).
  std::string HeaderText(std::string_view output) const;
  // True when the cycle was measured (some time came back).
  bool has_cycle() const;
};

struct TripQuery {
  std::string connection;
  Value document;
  Value user;
  Value customer;
  Value customer_group;
};

// Calls the trip summary on a new EVI object. Throws zebevi::Error when the
// call itself fails.
OperationCall CallTripSummary(const TripQuery& query);

// The blocks of a finished call.
TripReport ReadTripReport(const OperationCall& call);

// Minutes of an "HH:MM" text (hours may pass 24, a leading "-" is kept).
std::optional<std::int64_t> MinutesOf(std::string_view hours_minutes);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_TRIP_REPORT_H_
