#include "service/health_endpoints.h"

#include <nlohmann/json.hpp>

#include "db/connection_string.h"
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

// The pool keys the operations use: the connection string as it is (the
// lookups and the feature flags) and with the fixed credentials the trip
// summary connects with, as the driver forms them.
PoolGauge PoolOf(const std::string& connection) {
  PoolGauge gauge;
  try {
    const db::ConnectionString plain = db::ConnectionString::Parse(connection);
    db::ConnectionString trip = plain;
    trip.Set("user id", "SISTEMA");
    trip.Set("password", "TRMVQKD");
    for (const db::ConnectionString& key : {plain, trip}) {
      const db::ConnectionPool::Counts counts = db::ConnectionPool::Process().CountsOf(key);
      gauge.in_use += counts.lent;
      gauge.idle += counts.idle;
    }
  } catch (const Error&) {
    // A string the pool cannot parse has no connections in it.
  }
  return gauge;
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
                         response.body = backend.metrics->Render(PoolOf(backend.connection));
                         return response;
                       },
                   .needs_key = false,
                   .on_worker = false,
                   .deadline = std::nullopt});
}

}  // namespace zebevi::service
