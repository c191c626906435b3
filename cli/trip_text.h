// The trip summary laid out for a terminal: the header block with the
// on-time verdict, the invoices as a table, the tracking occurrences as a
// timeline with the time between them, the distances, the cycle times as a
// bar chart, and the planned route (its time labelled as the time of day it
// is).
#ifndef ZEBEVI_CLI_TRIP_TEXT_H_
#define ZEBEVI_CLI_TRIP_TEXT_H_

#include <cstdint>
#include <iosfwd>
#include <string>

#include "cli/text_style.h"
#include "page/hours_minutes.h"
#include "zebevi/trip_summary.h"

namespace zebevi::cli {

// Columns of the longest bar of the cycle chart.
inline constexpr std::size_t kCycleBarWidth = 40;

void RenderTripText(std::ostream& out, const report::TripSummary& summary, const TextStyle& style);

using page::HoursMinutes;

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_TRIP_TEXT_H_
