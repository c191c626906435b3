#include "page/hours_minutes.h"

namespace zebevi::page {

std::string HoursMinutes(std::int64_t minutes) {
  const std::string sign = minutes < 0 ? "-" : "";
  const std::int64_t magnitude = minutes < 0 ? -minutes : minutes;
  const std::int64_t rest = magnitude % 60;
  return sign + std::to_string(magnitude / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

}  // namespace zebevi::page
