// The endpoints an operator and a load balancer poll, open without a key:
//   GET /healthz  the process is alive (never touches the database)
//   GET /readyz   the database answers a trivial query within 1 s
//   GET /metrics  the counters, in the Prometheus text format
#ifndef ZEBEVI_SERVICE_HEALTH_ENDPOINTS_H_
#define ZEBEVI_SERVICE_HEALTH_ENDPOINTS_H_

#include "service/router.h"

namespace zebevi::service {

struct Backend;

void AddHealthEndpoints(Router& router, const Backend& backend);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_HEALTH_ENDPOINTS_H_
