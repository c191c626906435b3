#include "schema/calendar.h"

namespace zebevi::schema {
namespace {

struct CivilDate {
  std::int64_t year;
  int month;
  int day;
};

// Howard Hinnant's days-from-civil and civil-from-days algorithms.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (month <= 2), month, day};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0)); }

void PutDigits(char* out, std::int64_t value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

std::int64_t MomentOf(int year, int month, int day) {
  return DaysFromCivil(year, month, day) * kDay;
}

IsoText DateText(std::int64_t moment) {
  IsoText text;
  const CivilDate date = CivilFromDays(FloorDiv(moment, kDay));
  char* out = text.chars_.data();
  PutDigits(out, date.year, 4);
  out[4] = '-';
  PutDigits(out + 5, date.month, 2);
  out[7] = '-';
  PutDigits(out + 8, date.day, 2);
  text.size_ = 10;
  return text;
}

IsoText DateTimeText(std::int64_t moment) {
  IsoText text = DateText(moment);
  const std::int64_t seconds = moment - FloorDiv(moment, kDay) * kDay;
  char* out = text.chars_.data();
  out[10] = ' ';
  PutDigits(out + 11, seconds / kHour, 2);
  out[13] = ':';
  PutDigits(out + 14, seconds / kMinute % 60, 2);
  out[16] = ':';
  PutDigits(out + 17, seconds % 60, 2);
  text.size_ = 19;
  return text;
}

}  // namespace zebevi::schema
