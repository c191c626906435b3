// One JSON line per request on the log stream (standard error): when it
// ended, its method, the route template (never the path, whose query may
// carry tax numbers), the status, how long it took, the answer's size and
// the caller's name. An API key, a password or a query value never
// appears. The server's own events (listening, draining, stopped) are
// lines of the same stream. Safe to use from any thread.
#ifndef ZEBEVI_SERVICE_ACCESS_LOG_H_
#define ZEBEVI_SERVICE_ACCESS_LOG_H_

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zebevi::service {

struct AccessEntry {
  std::string method;
  std::string route;
  int status = 0;
  std::chrono::microseconds duration{0};
  std::size_t bytes = 0;
  std::string caller;  // empty: no key was given or it was refused
};

class AccessLog {
 public:
  explicit AccessLog(std::ostream& out) : out_(out) {}

  void Write(const AccessEntry& entry);
  // {"time", "event", and each of `fields` as a text}.
  void Event(std::string_view event,
             const std::vector<std::pair<std::string, std::string>>& fields = {});

 private:
  void Line(const std::string& line);

  std::mutex mutex_;
  std::ostream& out_;
};

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_ACCESS_LOG_H_
