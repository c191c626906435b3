// The service's routes: a method and a path template ("/v1/trips/{id}")
// each, with the handler that answers them and how it runs. The template,
// not the path, names the route in the access log and the metrics.
#ifndef ZEBEVI_SERVICE_ROUTER_H_
#define ZEBEVI_SERVICE_ROUTER_H_

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/caller.h"
#include "service/http_message.h"

namespace zebevi::service {

// What a handler is given: the request, its path parameters by template
// name, and the caller (nullptr on routes open to all).
struct RouteContext {
  const HttpRequest& request;
  const std::map<std::string, std::string>& params;
  const Caller* caller;
};

using Handler = std::function<HttpResponse(const RouteContext&)>;

struct Route {
  std::string method;
  std::string pattern;  // segments; "{name}" matches one whole segment
  Handler handler;
  bool needs_key = true;  // without a valid API key: 401
  // The handler reaches the database: it runs on a database worker, never
  // on the thread that serves the connections.
  bool on_worker = true;
  // How long the answer may take (default: the limits' answer timeout).
  std::optional<std::chrono::milliseconds> deadline;
};

// The route label of a request that matches no route.
inline constexpr std::string_view kUnmatchedRoute = "unmatched";

class Router {
 public:
  void Add(Route route);

  struct Match {
    const Route* route = nullptr;  // nullptr: `status` says why
    int status = 200;              // 404 no such path, 405 not with this method
    std::map<std::string, std::string> params;
  };
  Match Find(std::string_view method, std::string_view path) const;

 private:
  struct Entry {
    Route route;
    std::vector<std::string> segments;
  };
  std::vector<Entry> entries_;
};

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_ROUTER_H_
