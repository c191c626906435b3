#include "service/access_log.h"

#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>
#include <ostream>

namespace zebevi::service {
namespace {

using Json = nlohmann::ordered_json;

// UTC, to the millisecond: "2026-12-07T12:30:05.123Z".
std::string Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm parts{};
  gmtime_r(&seconds, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
  char tail[8];
  std::snprintf(tail, sizeof tail, ".%03dZ", static_cast<int>(millis));
  return std::string(text) + tail;
}

std::string Dump(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

void AccessLog::Write(const AccessEntry& entry) {
  Json line{{"time", Now()},
            {"method", entry.method},
            {"route", entry.route},
            {"status", entry.status},
            {"duration_ms", static_cast<double>(entry.duration.count()) / 1000.0},
            {"bytes", entry.bytes}};
  if (!entry.caller.empty()) line["caller"] = entry.caller;
  Line(Dump(line));
}

void AccessLog::Event(std::string_view event,
                      const std::vector<std::pair<std::string, std::string>>& fields) {
  Json line{{"time", Now()}, {"event", event}};
  for (const auto& [name, value] : fields) line[name] = value;
  Line(Dump(line));
}

void AccessLog::Line(const std::string& line) {
  std::lock_guard lock(mutex_);
  out_ << line << '\n' << std::flush;
}

}  // namespace zebevi::service
