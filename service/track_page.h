// GET /track/{token}: the trip page of a share link, open without an API
// key. The token (share_token.h) names the document and the viewer; the
// page shows what the viewer's user group is granted (page/trip_page.h), in
// Portuguese, or in English with ?lang=en. A token that is unknown,
// tampered with or expired gets one and the same 404 page, which says
// nothing of why.
#ifndef ZEBEVI_SERVICE_TRACK_PAGE_H_
#define ZEBEVI_SERVICE_TRACK_PAGE_H_

#include "service/config.h"
#include "service/router.h"

namespace zebevi::service {

struct Backend;

void AddTrackPage(Router& router, const Backend& backend, const ShareSettings& share);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_TRACK_PAGE_H_
