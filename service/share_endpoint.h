// POST /v1/trips/{document_id}/share: a link that lets someone without an
// API key follow one transport document (GET /track/{token}). The body
// names the viewer: {"user_group": N, "customer": N, "customer_group": N,
// "days": N}. The user group decides what the page shows (its features);
// customer and customer group go to the trip summary as for any call, so a
// key bound to a customer shares only as that customer (403 otherwise).
// The link lives `days` days, 7 unless given, at most 90. The answer:
// {"url": ".../track/TOKEN", "expires": "2026-12-14T15:42:42Z"}; a document
// the summary does not deliver gets the summary's status and message.
#ifndef ZEBEVI_SERVICE_SHARE_ENDPOINT_H_
#define ZEBEVI_SERVICE_SHARE_ENDPOINT_H_

#include "service/config.h"
#include "service/router.h"

namespace zebevi::service {

struct Backend;

void AddShareEndpoint(Router& router, const Backend& backend, const ShareSettings& share);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_SHARE_ENDPOINT_H_
