// Calendar arithmetic for the generator: moments are whole seconds since
// 1970-01-01 00:00:00 (no time zone: the data set is in local carrier time),
// written as ISO text without allocating.
#ifndef ZEBEVI_SCHEMA_CALENDAR_H_
#define ZEBEVI_SCHEMA_CALENDAR_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zebevi::schema {

inline constexpr std::int64_t kMinute = 60;
inline constexpr std::int64_t kHour = 3600;
inline constexpr std::int64_t kDay = 86400;

// Seconds at midnight of a civil date (proleptic Gregorian calendar).
std::int64_t MomentOf(int year, int month, int day);

// ISO text of a moment: "YYYY-MM-DD HH:MM:SS" or, for a date, "YYYY-MM-DD".
class IsoText {
 public:
  std::string_view view() const { return {chars_.data(), size_}; }

 private:
  friend IsoText DateTimeText(std::int64_t moment);
  friend IsoText DateText(std::int64_t moment);
  std::array<char, 19> chars_{};
  std::size_t size_ = 0;
};

IsoText DateTimeText(std::int64_t moment);
IsoText DateText(std::int64_t moment);

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_CALENDAR_H_
