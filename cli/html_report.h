// `zebevi trip --html`: the trip page of page/trip_page.h with every item
// group shown, in Portuguese: the same page a share link opens, for a
// dispatcher.
#ifndef ZEBEVI_CLI_HTML_REPORT_H_
#define ZEBEVI_CLI_HTML_REPORT_H_

#include <string>

#include "page/html_escape.h"
#include "zebevi/trip_summary.h"

namespace zebevi::cli {

using page::HtmlEscape;

std::string TripHtml(const report::TripSummary& summary);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_HTML_REPORT_H_
