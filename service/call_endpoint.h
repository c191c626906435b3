// POST /v1/call/{operation}: any of the fourteen operations with exactly
// the tagged JSON of `zebevi call`, in (the body: parameters by name) and
// out (the answer: operation, status, result, params), for callers who port
// legacy pages. What the service adds:
//   - the database is the service's: a body names no connection parameter,
//     and the answer shows the connection string parameter Empty, as the
//     call gave it, so that it never carries a password;
//   - the caller identifiers follow the API key (caller.h); operations that
//     work on a connection handed to them take no customer and so are for
//     internal keys only;
//   - the HTTP status follows the answer (answer_status.h).
#ifndef ZEBEVI_SERVICE_CALL_ENDPOINT_H_
#define ZEBEVI_SERVICE_CALL_ENDPOINT_H_

#include "service/router.h"

namespace zebevi::service {

struct Backend;

void AddCallEndpoint(Router& router, const Backend& backend);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_CALL_ENDPOINT_H_
