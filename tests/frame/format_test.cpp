#include <gtest/gtest.h>

#include <vector>

#include "frame/field_stub.h"
#include "support/test_support.h"
#include "zebevi/date.h"
#include "zebevi/value.h"

namespace zebevi {
namespace {

struct FormatCase {
  Value value;
  const char* picture;
  Value expected;
};

void ExpectFormats(const std::vector<FormatCase>& cases) {
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.value) + " as " + c.picture);
    EXPECT_EQ(Format(c.value, c.picture), c.expected);
  }
}

TEST(FormatTest, NumberPictures) {
  const char* money = "#,##0.00";
  // clang-format off
  ExpectFormats({
      {Value::Double(-1234.567), money, Value("-1.234,57")},
      {Value::Double(999.995), money, Value("1.000,00")}, {Value::Double(1.005), money, Value("1,01")},
      {Value::Double(-0.004), money, Value("0,00")}, {Value(" 1.234,5 "), money, Value("1.234,50")},
      {Value::Int32(100), "00", Value("100")}, {Value::Double(2.5), "00", Value("03")},
      {Value::Int32(-5), "00", Value("-05")}, {Value::Double(-0.4), "00", Value("00")},
  });
  // clang-format on
  // Texts that are no numbers, and Null, pass through.
  for (const char* picture : {money, "00"}) {
    for (const Value& v : {Value::Null(), Value(""), Value("01:30")}) {
      EXPECT_EQ(Format(v, picture), v) << picture;
    }
  }
}

TEST(FormatTest, DateAndTimePicturesAndUnknownOnes) {
  const Value date = Value::Date(DaysFromParts({2002, 3, 5, 14, 7, 9}));
  ExpectFormats({
      {date, "dd/mm/yyyy hh:mm:ss", Value("05/03/2002 14:07:09")},
      {date, "d/m/yy h:n:s", Value("5/3/02 14:7:9")},
      // MM after an hour field is minutes, not the month.
      {Value::Date(DaysFromParts({2002, 11, 5, 14, 7})), "hh:MM", Value("14:07")},
      {Value::Date(DaysFromParts({2002, 11, 5, 14, 7})), "MM", Value("11")},
      // The time of day rounds to the second.
      {Value::Date(2.0 / 24 - 1e-9), "hh:MM", Value("02:00")},
      {Value::Date(0.9999999), "dd/mm/yyyy hh:mm:ss", Value("31/12/1899 00:00:00")},
      {Value("5/3/2002 14:07:09"), "dd/mm/yyyy hh:mm", Value("05/03/2002 14:07")},
      {Value("2002-03-05 14:07:09"), "DD/MM/YYYY HH:MM:SS", Value("05/03/2002 14:07:09")},
      {testing::Field(Value::Date(37320.5)), "dd/mm/yyyy hh:mm", Value("05/03/2002 12:00")},
      {Value(), "dd/mm/yyyy", Value("")},
      {Value::Null(), "dd/mm/yyyy", Value::Null()},
      // Time texts are rewritten when they are a time of day, else kept.
      {Value("1:5"), "HH:MM", Value("01:05")},
      {Value("25:01"), "HH:MM", Value("25:01")},
      {Value("\xff\xfe:"), "HH:MM", Value("\xff\xfe:")},
  });
  EXPECT_AUTOMATION_ERROR(Format(Value::Double(1e9), "dd/mm/yyyy"), 6);

  for (const char* picture : {"", "0.00", "hh:mm tt"}) {
    EXPECT_AUTOMATION_ERROR(Format(Value::Double(1), picture), 5);
  }
  EXPECT_AUTOMATION_ERROR(Format(Value::Null(), "x"), 5);
  EXPECT_AUTOMATION_ERROR(Format(Value::Array({}), "hh:mm"), 13);
}

}  // namespace
}  // namespace zebevi
