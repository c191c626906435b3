// The figures of a trip summary as the terminal and the HTML page show
// them: in the order shown, each with its Portuguese label, the field of the
// version 1 JSON it is ("header.driver", "cycle.times.loading_minutes") and
// the text the operation delivered.
#ifndef ZEBEVI_CLI_TRIP_FIGURES_H_
#define ZEBEVI_CLI_TRIP_FIGURES_H_

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zebevi/trip_summary.h"

namespace zebevi::cli {

struct ShownFigure {
  std::string_view label;
  std::string field;
  std::string text;
};

struct ShownTime {
  std::string_view label;
  std::string field;
  std::string text;                            // "HH:MM" as the operation gave it
  std::optional<std::chrono::minutes> length;  // nullopt when the text is no duration
};

// The header block, the document and order numbers included.
std::vector<ShownFigure> HeaderFigures(const report::TripSummary& summary);
std::vector<ShownFigure> DistanceFigures(const report::TripSummary& summary);
std::vector<ShownTime> TimeFigures(const report::TripSummary& summary);
std::vector<ShownFigure> RouteFigures(const report::TripSummary& summary);

// True when some figure has a text.
bool HasText(const std::vector<ShownFigure>& figures);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_TRIP_FIGURES_H_
