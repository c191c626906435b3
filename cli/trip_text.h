// The trip summary laid out for a terminal: the header block with the
// on-time verdict, the invoices as a table, the tracking occurrences as a
// timeline with the time between them, the distances, the cycle times as a
// bar chart, and the planned route (its time labelled as the time of day it
// is).
#ifndef ZEBEVI_CLI_TRIP_TEXT_H_
#define ZEBEVI_CLI_TRIP_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "cli/text_style.h"
#include "page/hours_minutes.h"
#include "zebevi/trip_summary.h"

namespace zebevi::cli {

// Columns of the longest bar of the cycle chart, when the terminal is wide
// enough or its width unknown.
inline constexpr std::size_t kCycleBarWidth = 40;

// `columns`: the terminal's width (0 when unknown); the chart's lines fit it.
void RenderTripText(std::ostream& out, const report::TripSummary& summary, const TextStyle& style,
                    std::size_t columns);

using page::HoursMinutes;

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_TRIP_TEXT_H_
