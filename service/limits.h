// What one request and one connection may take from the server: sizes the
// request may reach before it is refused, and how long each phase may last.
#ifndef ZEBEVI_SERVICE_LIMITS_H_
#define ZEBEVI_SERVICE_LIMITS_H_

#include <chrono>
#include <cstddef>

namespace zebevi::service {

struct Limits {
  std::size_t body_bytes = 64 * 1024;   // larger: 413
  std::size_t target_bytes = 4 * 1024;  // request target (path and query); longer: 414
  std::size_t header_bytes = 8 * 1024;  // all header fields together; more: 431
  std::size_t json_depth = 32;          // nesting of a call's JSON body; deeper: 400
  // From the first byte of a request to its last; a client that sends
  // slower is answered 408 and cut off.
  std::chrono::milliseconds request_timeout{10'000};
  // How long a kept-alive connection may wait for its next request.
  std::chrono::milliseconds idle_timeout{60'000};
  // How long a request may wait for its answer from the database workers
  // before it is answered 503.
  std::chrono::milliseconds answer_timeout{30'000};
  // On SIGTERM: how long requests in flight may take to finish.
  std::chrono::milliseconds drain_timeout{10'000};
  std::size_t max_connections = 10'000;  // more are accepted and closed at once
  std::size_t max_queued = 1'024;        // requests waiting for a worker; more: 503
  int retry_after_seconds = 5;           // told with every 503
};

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_LIMITS_H_
