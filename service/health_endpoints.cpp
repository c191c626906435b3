#include "service/health_endpoints.h"

#include <nlohmann/json.hpp>

#include "db/pool.h"
#include "service/application.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi::service {
namespace {

constexpr std::chrono::milliseconds kReadyWithin{1000};

HttpResponse Status(int status, std::string_view text) {
  HttpResponse response;
  response.status = status;
  response.body = nlohmann::ordered_json{{"status", text}}.dump();
  response.database_error = status == 503;
  return response;
}

HttpResponse Ready(const std::string& connection) {
  try {
    DbRecordset probe;
    probe.set_cursor_location(CursorLocation::kClient);
    probe.Open("SELECT 1", connection);
    probe.Close();
    return Status(200, "ready");
  } catch (const Error&) {
    return Status(503, "the database does not answer");
  }
}

// The process's pool: the service serves one database, and every session
// in the pool is one of its own, whatever credentials an operation formed.
PoolGauge PoolGaugeNow() {
  const db::ConnectionPool::Counts counts = db::ConnectionPool::Process().Totals();
  return PoolGauge{.in_use = counts.lent, .idle = counts.idle};
}

}  // namespace

void AddHealthEndpoints(Router& router, const Backend& backend) {
  router.Add(Route{.method = "GET",
                   .pattern = "/healthz",
                   .handler = [](const RouteContext&) { return Status(200, "alive"); },
                   .needs_key = false,
                   .on_worker = false,
                   .deadline = std::nullopt});
  router.Add(Route{.method = "GET",
                   .pattern = "/readyz",
                   .handler = [connection = backend.connection](
                                  const RouteContext&) { return Ready(connection); },
                   .needs_key = false,
                   .on_worker = true,
                   .deadline = kReadyWithin});
  router.Add(Route{.method = "GET",
                   .pattern = "/metrics",
                   .handler =
                       [&backend](const RouteContext&) {
                         HttpResponse response;
                         response.content_type = "text/plain; version=0.0.4; charset=utf-8";
                         response.body = backend.metrics->Render(PoolGaugeNow());
                         return response;
                       },
                   .needs_key = false,
                   .on_worker = false,
                   .deadline = std::nullopt});
}

}  // namespace zebevi::service
