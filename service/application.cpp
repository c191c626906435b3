#include "service/application.h"

#include <memory>

#include "service/call_endpoint.h"
#include "service/health_endpoints.h"
#include "service/share_endpoint.h"
#include "service/track_page.h"
#include "service/typed_endpoints.h"

namespace zebevi::service {

HttpResponse Guarded(const std::function<HttpResponse()>& handler) {
  try {
    return handler();
  } catch (...) {
    return ErrorResponse(500, "internal error");
  }
}

Application::Application(const ServiceConfig& config, std::string connection, AccessLog& log)
    : backend_{std::move(connection), config.limits, &metrics_}, keys_(config.keys), log_(log) {
  AddHealthEndpoints(router_, backend_);
  AddTypedEndpoints(router_, backend_);
  AddCallEndpoint(router_, backend_);
  AddShareEndpoint(router_, backend_, config.share);
  AddTrackPage(router_, backend_, config.share);
}

Application::Plan Application::Prepare(HttpRequest request) const {
  Plan plan;
  Router::Match match = router_.Find(request.method, request.path);
  if (match.route == nullptr) {
    plan.route = kUnmatchedRoute;
    plan.answer = ErrorResponse(
        match.status, match.status == 405 ? "method not allowed here" : "no such resource");
    return plan;
  }
  const Route& route = *match.route;
  plan.route = route.pattern;
  const Caller* caller = nullptr;
  if (route.needs_key) {
    caller = keys_.Authenticate(request.authorization);
    if (caller == nullptr) {
      plan.answer = ErrorResponse(401, "a valid API key is required (Authorization: Bearer KEY)");
      return plan;
    }
    plan.caller = caller->name;
  }
  auto held = std::make_shared<const HttpRequest>(std::move(request));
  auto params = std::make_shared<const std::map<std::string, std::string>>(std::move(match.params));
  std::function<HttpResponse()> job = [&route, held, params, caller] {
    return Guarded([&] { return route.handler(RouteContext{*held, *params, caller}); });
  };
  if (!route.on_worker) {
    plan.answer = job();
  } else {
    plan.job = std::move(job);
    plan.deadline = route.deadline.value_or(backend_.limits.answer_timeout);
  }
  return plan;
}

void Application::Finished(const AccessEntry& entry, bool database_error) {
  metrics_.Record(entry.route, entry.method, entry.status, entry.duration, database_error);
  log_.Write(entry);
}

}  // namespace zebevi::service
