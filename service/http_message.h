// A request and a response as the service's handlers see them: plain values,
// free of the HTTP library, so that routes, authentication and endpoints
// compile without it.
#ifndef ZEBEVI_SERVICE_HTTP_MESSAGE_H_
#define ZEBEVI_SERVICE_HTTP_MESSAGE_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zebevi::service {

struct HttpRequest {
  std::string method;                                      // "GET", "POST", ...
  std::string path;                                        // percent-decoded, without the query
  std::vector<std::pair<std::string, std::string>> query;  // decoded, in order
  std::string authorization;  // the Authorization header, empty when absent
  std::string body;

  // The first value of query parameter `name`, if given.
  std::optional<std::string> Query(std::string_view name) const;
};

struct HttpResponse {
  int status = 200;
  std::string body;  // JSON, or Prometheus text for /metrics
  std::string content_type = "application/json; charset=utf-8";
  // The database could not be reached (a 503 the metrics count as such).
  // Every 503 tells the client when to retry.
  bool database_error = false;
};

// {"error": message} with `status`.
HttpResponse ErrorResponse(int status, std::string_view message);

// Splits a request target into its decoded path and query parameters.
// Returns false when the target is not an origin-form path ("/...") or
// holds a malformed percent escape.
bool ParseTarget(std::string_view target, HttpRequest& request);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_HTTP_MESSAGE_H_
