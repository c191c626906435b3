// The trip page: one self-contained HTML page built from the trip summary
// and nothing else, for a carrier's customer on a phone as much as for a
// dispatcher at a desk. Inline CSS and SVG, no script and nothing fetched
// from anywhere, so it works with scripts off and can be mailed or archived
// as one file. Every text from the database is HTML-escaped; the page is
// UTF-8. Each figure carries its field of the version 1 JSON in a
// data-field attribute.
//
// What it shows follows the viewer's features: the status block (stage,
// latest occurrence, arrivals, lateness) always; each item group of the
// summary only when its feature is granted:
//   order number, document number   the numbers beside the heading
//   tractor, trailer, driver        the vehicle card
//   trip data                       progress along the trip, the timeline, the product
//   invoices                        the invoice table
//   distance measures               the cycle distances
//   time-window measures            the cycle times chart
//   efficiency                      the planned route
//   sender, consignee, customer     the parties card
#ifndef ZEBEVI_PAGE_TRIP_PAGE_H_
#define ZEBEVI_PAGE_TRIP_PAGE_H_

#include <array>
#include <string>

#include "page/page_text.h"
#include "zebevi/feature_flags.h"
#include "zebevi/trip_summary.h"

namespace zebevi::page {

// Who looks at the page: the features they may see, and their language.
struct PageView {
  std::array<bool, report::kFeatureCount> granted{};
  Language language = Language::kPortuguese;

  // Every item group (the dispatcher's page).
  static PageView Everything(Language language);
  // The item groups a user group's flags grant.
  static PageView Granted(const report::FeatureFlags& flags, Language language);

  bool shows(report::Feature feature) const { return granted[static_cast<std::size_t>(feature)]; }
};

std::string TripPage(const report::TripSummary& summary, const PageView& view);

// The page of a link that leads nowhere (an unknown, tampered or expired
// one): the same page whatever the reason, so it tells nothing of which.
std::string NotFoundPage(Language language);

// The page shown while the database cannot be reached.
std::string UnavailablePage(Language language);

}  // namespace zebevi::page

#endif  // ZEBEVI_PAGE_TRIP_PAGE_H_
