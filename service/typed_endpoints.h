// The typed endpoints: the four entry operations through the typed layer,
// answered in its version 1 JSON.
//   GET /v1/trips/{document_id}            ?customer=&customer_group=
//   GET /v1/documents                      ?order=&invoice=&document= and the caller identifiers
//   GET /v1/orders/{number}                ?from=&to=&cgc=&cpf=&lang=pt|en&company=
//   GET /v1/groups/{group_id}/features     ?company=
// Every one also takes `user` (the internet user). The caller identifiers
// follow the API key as on the legacy call (caller.h); a query parameter an
// endpoint does not know, or one given twice, is refused, so that a
// misspelt filter never passes unseen. The status follows the answer
// (answer_status.h); the features of a group without registered rights
// answer 404 with the flags, all false, and the operation's message.
#ifndef ZEBEVI_SERVICE_TYPED_ENDPOINTS_H_
#define ZEBEVI_SERVICE_TYPED_ENDPOINTS_H_

#include "service/router.h"

namespace zebevi::service {

struct Backend;

void AddTypedEndpoints(Router& router, const Backend& backend);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_TYPED_ENDPOINTS_H_
