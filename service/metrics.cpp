#include "service/metrics.h"

#include <sstream>

namespace zebevi::service {
namespace {

// A label value: backslash, quote and line feed escaped.
std::string Label(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '\\' || c == '"') escaped += '\\';
    if (c == '\n') {
      escaped += "\\n";
      continue;
    }
    escaped += c;
  }
  return escaped;
}

}  // namespace

void Metrics::Record(const std::string& route, const std::string& method, int status,
                     std::chrono::microseconds duration, bool database_error) {
  const double seconds = static_cast<double>(duration.count()) / 1e6;
  std::lock_guard lock(mutex_);
  ++requests_[{route, method, status}];
  Latency& latency = latency_[route];
  for (std::size_t i = 0; i < kBuckets.size(); ++i) {
    if (seconds <= kBuckets[i]) ++latency.buckets[i];
  }
  ++latency.count;
  latency.sum_seconds += seconds;
  if (database_error) ++database_errors_;
}

void Metrics::ConnectionOpened() {
  std::lock_guard lock(mutex_);
  ++connections_;
}

void Metrics::ConnectionClosed() {
  std::lock_guard lock(mutex_);
  --connections_;
}

void Metrics::SetQueued(std::size_t queued) {
  std::lock_guard lock(mutex_);
  queued_ = queued;
}

std::string Metrics::Render(const PoolGauge& pool) const {
  std::lock_guard lock(mutex_);
  std::ostringstream out;
  out << "# HELP zebevi_http_requests_total Requests answered, by route, method and status.\n"
         "# TYPE zebevi_http_requests_total counter\n";
  for (const auto& [key, count] : requests_) {
    const auto& [route, method, status] = key;
    out << "zebevi_http_requests_total{route=\"" << Label(route) << "\",method=\"" << Label(method)
        << "\",status=\"" << status << "\"} " << count << '\n';
  }
  out << "# HELP zebevi_http_request_duration_seconds Time from a request's first byte to the "
         "end of its answer.\n"
         "# TYPE zebevi_http_request_duration_seconds histogram\n";
  for (const auto& [route, latency] : latency_) {
    const std::string name = "zebevi_http_request_duration_seconds";
    const std::string labels = "route=\"" + Label(route) + "\"";
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
      out << name << "_bucket{" << labels << ",le=\"" << kBuckets[i] << "\"} " << latency.buckets[i]
          << '\n';
    }
    out << name << "_bucket{" << labels << ",le=\"+Inf\"} " << latency.count << '\n'
        << name << "_sum{" << labels << "} " << latency.sum_seconds << '\n'
        << name << "_count{" << labels << "} " << latency.count << '\n';
  }
  out << "# HELP zebevi_db_errors_total Answers that found the database unreachable (503).\n"
         "# TYPE zebevi_db_errors_total counter\n"
      << "zebevi_db_errors_total " << database_errors_ << '\n'
      << "# HELP zebevi_db_pool_connections Database connections of the pool.\n"
         "# TYPE zebevi_db_pool_connections gauge\n"
      << "zebevi_db_pool_connections{state=\"in_use\"} " << pool.in_use << '\n'
      << "zebevi_db_pool_connections{state=\"idle\"} " << pool.idle << '\n'
      << "# HELP zebevi_http_connections Client connections open.\n"
         "# TYPE zebevi_http_connections gauge\n"
      << "zebevi_http_connections " << connections_ << '\n'
      << "# HELP zebevi_worker_queue Requests waiting for a database worker.\n"
         "# TYPE zebevi_worker_queue gauge\n"
      << "zebevi_worker_queue " << queued_ << '\n';
  return out.str();
}

}  // namespace zebevi::service
