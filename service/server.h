// The HTTP service: one event loop serving every connection, and a pool of
// database workers running the operations. Runs until SIGTERM or SIGINT,
// then drains: stops accepting, closes idle connections, lets the requests
// in flight finish (up to the drain timeout), and returns.
#ifndef ZEBEVI_SERVICE_SERVER_H_
#define ZEBEVI_SERVICE_SERVER_H_

#include <iosfwd>
#include <string>

#include "service/config.h"

namespace zebevi::service {

// Serves `connection` (a connection string) as `config` says, writing the
// access log and its own events to `log`. Returns 0 after a drain; throws
// std::runtime_error when the address cannot be bound.
int Serve(const ServiceConfig& config, const std::string& connection, std::ostream& log);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_SERVER_H_
