// The service's counters, in the Prometheus text format: requests by route,
// method and status, their latency as a histogram by route, answers that
// found the database unreachable, connections open and requests waiting for
// a worker. Safe to use from any thread.
#ifndef ZEBEVI_SERVICE_METRICS_H_
#define ZEBEVI_SERVICE_METRICS_H_

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace zebevi::service {

// Connections of the database pool, lent to a call or idle.
struct PoolGauge {
  std::size_t in_use = 0;
  std::size_t idle = 0;
};

class Metrics {
 public:
  void Record(const std::string& route, const std::string& method, int status,
              std::chrono::microseconds duration, bool database_error);
  void ConnectionOpened();
  void ConnectionClosed();
  void SetQueued(std::size_t queued);

  // The whole exposition, with the pool's gauges as they stand.
  std::string Render(const PoolGauge& pool) const;

 private:
  static constexpr std::array<double, 13> kBuckets{0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1,
                                                   0.25,  0.5,    1,     2.5,  5,     10};
  struct Latency {
    std::array<std::uint64_t, kBuckets.size()> buckets{};  // cumulative
    std::uint64_t count = 0;
    double sum_seconds = 0;
  };

  mutable std::mutex mutex_;
  std::map<std::tuple<std::string, std::string, int>, std::uint64_t> requests_;
  std::map<std::string, Latency> latency_;
  std::uint64_t database_errors_ = 0;
  std::int64_t connections_ = 0;
  std::size_t queued_ = 0;
};

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_METRICS_H_
