#include "zebevi/date.h"

#include <cmath>
#include <cstdint>

#include "zebevi/error.h"

namespace zebevi {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Day counts of 1 January 100 and of the day after 31 December 9999.
constexpr double kFirstDay = -657434;
constexpr double kEndDay = 2958466;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days between 1 March of year 0 of the proleptic Gregorian calendar and the
// given date, by eras of 400 years, so that leap days fall at era ends.
std::int64_t CivilToSerial(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t year_of_era = y - era * 400;
  const std::int64_t day_of_year = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era;
}

void SerialToCivil(std::int64_t serial, DateParts& parts) {
  const std::int64_t era = (serial >= 0 ? serial : serial - 146096) / 146097;
  const std::int64_t day_of_era = serial - era * 146097;
  const std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t mp = (5 * day_of_year + 2) / 153;
  parts.day = static_cast<int>(day_of_year - (153 * mp + 2) / 5 + 1);
  parts.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  parts.year = static_cast<int>(year_of_era + era * 400 + (parts.month <= 2 ? 1 : 0));
}

const std::int64_t kEpoch = CivilToSerial(1899, 12, 30);

bool ReadDigits(std::string_view text, std::size_t pos, std::size_t count, int& out) {
  if (pos + count > text.size()) return false;
  out = 0;
  for (std::size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    out = out * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool IsValidParts(const DateParts& p) {
  return p.year >= 100 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
         p.day <= DaysInMonth(p.year, p.month) && p.hour >= 0 && p.hour <= 23 && p.minute >= 0 &&
         p.minute <= 59 && p.second >= 0 && p.second <= 59;
}

double DaysFromParts(const DateParts& parts) {
  const double date =
      static_cast<double>(CivilToSerial(parts.year, parts.month, parts.day) - kEpoch);
  const double time = (parts.hour * 3600.0 + parts.minute * 60.0 + parts.second) / kSecondsPerDay;
  // Before the epoch the fraction still counts forward from midnight, so it
  // moves the count away from zero.
  return date < 0 ? date - time : date + time;
}

DateParts PartsFromDays(double days) {
  // A coarse check first keeps NaN and huge counts away from the integer
  // conversion; the calendar's edges are checked once the time is rounded,
  // since the last half second of a day carries into the next one.
  if (!(days > kFirstDay - 1 && days < kEndDay)) throw Error::Overflow();
  std::int64_t date = static_cast<std::int64_t>(std::trunc(days));
  std::int64_t seconds = std::llround(std::fabs(days - static_cast<double>(date)) * kSecondsPerDay);
  if (seconds == kSecondsPerDay) {
    seconds = 0;
    date += days < 0 ? -1 : 1;
  }
  if (date < kFirstDay || date >= kEndDay) throw Error::Overflow();
  DateParts parts;
  SerialToCivil(date + kEpoch, parts);
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  return parts;
}

std::optional<DateParts> ParseIsoDate(std::string_view text) {
  DateParts parts;
  if (!ReadDigits(text, 0, 4, parts.year) || text.size() < 10 || text[4] != '-' ||
      !ReadDigits(text, 5, 2, parts.month) || text[7] != '-' ||
      !ReadDigits(text, 8, 2, parts.day)) {
    return std::nullopt;
  }
  if (text.size() != 10) {
    if (text.size() != 19 || (text[10] != ' ' && text[10] != 'T') ||
        !ReadDigits(text, 11, 2, parts.hour) || text[13] != ':' ||
        !ReadDigits(text, 14, 2, parts.minute) || text[16] != ':' ||
        !ReadDigits(text, 17, 2, parts.second)) {
      return std::nullopt;
    }
  }
  if (!IsValidParts(parts)) return std::nullopt;
  return parts;
}

}  // namespace zebevi
