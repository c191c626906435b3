// Dates are doubles: days since 30 December 1899, the fraction being the
// time of day. These helpers convert between that count and calendar parts.
#ifndef ZEBEVI_DATE_H_
#define ZEBEVI_DATE_H_

#include <optional>
#include <string_view>

namespace zebevi {

struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  bool operator==(const DateParts&) const = default;
};

// A calendar date of the years 100 to 9999 and a time from 00:00:00 to
// 23:59:59.
bool IsValidParts(const DateParts& parts);

// REQUIRES: IsValidParts(parts).
double DaysFromParts(const DateParts& parts);
// The time of day is rounded to the nearest second (a value a hair under
// 02:00:00 gives 02:00:00). Before the epoch the whole part is the date and
// the fraction, taken positive, the time: -1.5 is 29/12/1899 12:00. A count
// outside the years 100 to 9999 (or not finite) is an overflow failure.
DateParts PartsFromDays(double days);

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or with "T" before the time.
std::optional<DateParts> ParseIsoDate(std::string_view text);

}  // namespace zebevi

#endif  // ZEBEVI_DATE_H_
