#include "cli/html_report.h"

#include "page/trip_page.h"

namespace zebevi::cli {

std::string TripHtml(const report::TripSummary& summary) {
  return page::TripPage(summary, page::PageView::Everything(page::Language::kPortuguese));
}

}  // namespace zebevi::cli
