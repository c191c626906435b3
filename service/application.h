// Everything the service does with a request once it has been read, free
// of the HTTP library: the routes and their endpoints, the API keys, the
// metrics and the access log. The server hands each request to Prepare and
// reports each answer to Finished.
#ifndef ZEBEVI_SERVICE_APPLICATION_H_
#define ZEBEVI_SERVICE_APPLICATION_H_

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "service/access_log.h"
#include "service/config.h"
#include "service/http_message.h"
#include "service/metrics.h"
#include "service/router.h"

namespace zebevi::service {

// What the endpoints share.
struct Backend {
  std::string connection;  // the database, as a connection string
  Limits limits;
  Metrics* metrics;
};

class Application {
 public:
  // `connection`: the database the endpoints call the operations on.
  Application(const ServiceConfig& config, std::string connection, AccessLog& log);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // What to do with one request: `answer` now, or run `job` on a database
  // worker and answer what it returns, unless `deadline` passes first.
  struct Plan {
    std::string route;   // the template, or kUnmatchedRoute
    std::string caller;  // the key's caller, when one was accepted
    std::optional<HttpResponse> answer;
    std::function<HttpResponse()> job;
    std::chrono::milliseconds deadline{0};
  };
  Plan Prepare(HttpRequest request) const;

  // Counts the answer and writes its access-log line.
  void Finished(const AccessEntry& entry, bool database_error);

  const Limits& limits() const { return backend_.limits; }
  AccessLog& log() { return log_; }
  Metrics& metrics() { return metrics_; }

 private:
  Metrics metrics_;
  Backend backend_;
  KeyRing keys_;
  Router router_;
  AccessLog& log_;
};

// Runs a handler; any exception becomes a 500 that tells nothing of it.
HttpResponse Guarded(const std::function<HttpResponse()>& handler);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_APPLICATION_H_
