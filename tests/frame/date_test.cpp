#include "zebevi/date.h"

#include <gtest/gtest.h>

#include <limits>

#include "frame/date_text.h"
#include "support/test_support.h"

namespace zebevi {
namespace {

TEST(DateTest, DaysAndPartsAgreeRoundToTheSecondAndOverflow) {
  EXPECT_EQ(DaysFromParts({2000, 2, 29, 12, 0, 0}), 36585.5);
  // Negative counts keep the time forward.
  EXPECT_EQ(DaysFromParts({1899, 12, 29, 12}), -1.5);
  for (const DateParts parts : {DateParts{100, 1, 1}, DateParts{9999, 12, 31, 23, 59, 59}}) {
    EXPECT_EQ(PartsFromDays(DaysFromParts(parts)), parts) << parts.year;
  }

  // The last hair of a day carries into the next day.
  // clang-format off
  const std::pair<double, DateParts> cases[] = {
      {-0.25, {1899, 12, 30, 6}}, {2.0 / 24 - 1e-9, {1899, 12, 30, 2}},
      {36525.9999999, {2000, 1, 1}}, {-1.9999999, {1899, 12, 28}},
      {2958465.9999, {9999, 12, 31, 23, 59, 51}}, {-657434.9999, {100, 1, 1, 23, 59, 51}}};
  // clang-format on
  for (const auto& [days, parts] : cases) EXPECT_EQ(PartsFromDays(days), parts) << days;
  // Rounding to the second may carry past the calendar's first or last day.
  for (double days :
       {1e7, std::numeric_limits<double>::quiet_NaN(), 2958465.99999999, -657434.999999999}) {
    EXPECT_AUTOMATION_ERROR(PartsFromDays(days), 6);
  }
}

TEST(DateTest, IsoDates) {
  EXPECT_EQ(ParseIsoDate("2002-03-05"), (DateParts{2002, 3, 5}));
  EXPECT_EQ(ParseIsoDate("2002-03-05T14:07:09"), (DateParts{2002, 3, 5, 14, 7, 9}));
  for (const char* text : {"2002-3-5", "2001-02-29", "2002-13-01", "0099-01-01",
                           "2002-03-05 24:00:00", "2002-03-05 14:07", "2002-03-05x", ""}) {
    EXPECT_FALSE(ParseIsoDate(text).has_value()) << text;
  }
}

TEST(DateTextTest, DayMonthYearTextsAndBack) {
  // clang-format off
  const std::pair<const char*, double> cases[] = {
      {" 5/3/2002 ", 37320}, {"05/03/02", 37320}, {"01:30", 1.5 / 24},
      {"05/03/30", DaysFromParts({1930, 3, 5})},
      {"05/03/2002  14:07:09", DaysFromParts({2002, 3, 5, 14, 7, 9})},
      {"2002-03-05 14:07:09", DaysFromParts({2002, 3, 5, 14, 7, 9})}};
  // clang-format on
  for (const auto& [text, days] : cases) EXPECT_EQ(ReadDateText(text), days) << text;
  for (const char* text : {"25:01", "12:60", "31/02/2002", "5/3/202", "5/3", "5/3/2002 x", "1,5",
                           "05/03/2002 14", ""}) {
    EXPECT_FALSE(ReadDateText(text).has_value()) << text;
  }
  EXPECT_EQ(DateText({2002, 3, 5}), "05/03/2002");
  EXPECT_EQ(DateText({2002, 3, 5, 0, 0, 1}), "05/03/2002 00:00:01");
  EXPECT_EQ(TimeText({1899, 12, 30, 9, 5, 0}), "09:05:00");
}

}  // namespace
}  // namespace zebevi
