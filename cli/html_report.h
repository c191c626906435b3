// The trip summary as one self-contained HTML page: inline CSS, an inline
// SVG bar chart of the cycle times, no script and nothing fetched from
// anywhere, so the page can be mailed or archived as one file. Every text
// from the database is HTML-escaped; the page is UTF-8. Each figure carries
// its field of the version 1 JSON in a data-field attribute.
#ifndef ZEBEVI_CLI_HTML_REPORT_H_
#define ZEBEVI_CLI_HTML_REPORT_H_

#include <string>
#include <string_view>

#include "zebevi/trip_summary.h"

namespace zebevi::cli {

std::string HtmlEscape(std::string_view text);

std::string TripHtml(const report::TripSummary& summary);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_HTML_REPORT_H_
