#include <gtest/gtest.h>

#include "frame/field_stub.h"
#include "support/test_support.h"
#include "zebevi/date.h"
#include "zebevi/value.h"

namespace zebevi {
namespace {

const double kMarch5th2002At140709 = DaysFromParts({2002, 3, 5, 14, 7, 9});

std::string Formatted(const Value& v, std::string_view picture) {
  return Format(v, picture).string();
}

TEST(FormatTest, GroupedTwoDecimals) {
  EXPECT_EQ(Formatted(Value::Double(0.5), "#,##0.00"), "0,50");
  EXPECT_EQ(Formatted(Value::Int32(1234567), "#,##0.00"), "1.234.567,00");
  EXPECT_EQ(Formatted(Value::Double(1234.5), "#,##0.00"), "1.234,50");
  EXPECT_EQ(Formatted(Value::Double(-1234.567), "#,##0.00"), "-1.234,57");
  EXPECT_EQ(Formatted(Value::Double(999.995), "#,##0.00"), "1.000,00");
  EXPECT_EQ(Formatted(Value::Double(1.005), "#,##0.00"), "1,01");
  EXPECT_EQ(Formatted(Value::Double(-0.125), "#,##0.00"), "-0,13");
  EXPECT_EQ(Formatted(Value::Double(-0.004), "#,##0.00"), "0,00");
  EXPECT_EQ(Formatted(Value::Double(0.001), "#,##0.00"), "0,00");
  EXPECT_EQ(Formatted(Value::Double(123.0), "#,##0.00"), "123,00");
  EXPECT_EQ(Formatted(Value::Double(1e20), "#,##0.00"), "100.000.000.000.000.000.000,00");
  EXPECT_EQ(Formatted(Value(), "#,##0.00"), "0,00");
  EXPECT_EQ(Formatted(Value::Boolean(true), "#,##0.00"), "-1,00");
  EXPECT_EQ(Formatted(Value(" 1.234,5 "), "#,##0.00"), "1.234,50");
  EXPECT_EQ(Formatted(testing::Field(Value::Double(12.3)), "#,##0.00"), "12,30");
}

TEST(FormatTest, TwoDigits) {
  EXPECT_EQ(Formatted(Value::Int32(5), "00"), "05");
  EXPECT_EQ(Formatted(Value::Int32(100), "00"), "100");
  EXPECT_EQ(Formatted(Value::Double(0.5), "00"), "01");
  EXPECT_EQ(Formatted(Value::Double(2.5), "00"), "03");
  EXPECT_EQ(Formatted(Value::Double(9.5), "00"), "10");
  EXPECT_EQ(Formatted(Value::Int32(-5), "00"), "-05");
  EXPECT_EQ(Formatted(Value::Double(-0.4), "00"), "00");
  EXPECT_EQ(Formatted(Value(), "00"), "00");
  EXPECT_EQ(Formatted(Value("5"), "00"), "05");
  EXPECT_EQ(Formatted(Value("100"), "00"), "100");
  EXPECT_EQ(Formatted(Value::Double(596523), "00"), "596523");
}

TEST(FormatTest, NumberPicturesPassTextsAndNullThrough) {
  for (const char* picture : {"#,##0.00", "00"}) {
    EXPECT_EQ(Format(Value::Null(), picture), Value::Null());
    EXPECT_EQ(Format(Value(""), picture), Value(""));
    EXPECT_EQ(Format(Value("abc"), picture), Value("abc"));
    EXPECT_EQ(Format(Value("01:30"), picture), Value("01:30"));
  }
}

TEST(FormatTest, DatePictures) {
  const Value date = Value::Date(kMarch5th2002At140709);
  EXPECT_EQ(Formatted(date, "dd/mm/yyyy hh:mm:ss"), "05/03/2002 14:07:09");
  EXPECT_EQ(Formatted(date, "DD/MM/YYYY HH:MM:SS"), "05/03/2002 14:07:09");
  EXPECT_EQ(Formatted(date, "dd/mm/yyyy hh:mm"), "05/03/2002 14:07");
  EXPECT_EQ(Formatted(date, "dd/mm/yyyy"), "05/03/2002");
  EXPECT_EQ(Formatted(date, "DD/MM/YYYY"), "05/03/2002");
  EXPECT_EQ(Formatted(date, "hh:mm"), "14:07");
  EXPECT_EQ(Formatted(date, "HH:MM"), "14:07");
  EXPECT_EQ(Formatted(date, "d/m/yy h:n:s"), "5/3/02 14:7:9");
  EXPECT_EQ(Formatted(date, "mm-dd"), "03-05");
}

TEST(FormatTest, MinutesAfterAnHourFieldNotMonth) {
  const Value date = Value::Date(DaysFromParts({2002, 11, 5, 14, 7}));
  EXPECT_EQ(Formatted(date, "hh:MM"), "14:07");
  EXPECT_EQ(Formatted(date, "MM"), "11");
}

TEST(FormatTest, TimeOfDayRoundsToTheSecond) {
  EXPECT_EQ(Formatted(Value::Date(2.0 / 24 - 1e-9), "hh:MM"), "02:00");
  EXPECT_EQ(Formatted(Value::Double(1.0833333), "HH:MM"), "02:00");
  EXPECT_EQ(Formatted(Value::Double(0.03125), "HH:MM"), "00:45");
  EXPECT_EQ(Formatted(Value::Date(0.9999999), "dd/mm/yyyy hh:mm:ss"), "31/12/1899 00:00:00");
}

TEST(FormatTest, DatePictureInputs) {
  EXPECT_EQ(Formatted(Value::Int32(37320), "dd/mm/yyyy"), "05/03/2002");
  EXPECT_EQ(Formatted(Value::Boolean(true), "dd/mm/yyyy"), "29/12/1899");
  EXPECT_EQ(Formatted(Value("5400"), "dd/mm/yyyy"), "13/10/1914");
  EXPECT_EQ(Formatted(Value("5/3/2002 14:07:09"), "dd/mm/yyyy hh:mm"), "05/03/2002 14:07");
  EXPECT_EQ(Formatted(Value("2002-03-05 14:07:09"), "DD/MM/YYYY HH:MM:SS"), "05/03/2002 14:07:09");
  EXPECT_EQ(Formatted(Value("05/03/02"), "dd/mm/yyyy"), "05/03/2002");
  EXPECT_EQ(Formatted(testing::Field(Value::Date(37320.5)), "dd/mm/yyyy hh:mm"),
            "05/03/2002 12:00");
  EXPECT_EQ(Formatted(Value(), "dd/mm/yyyy"), "");
  EXPECT_AUTOMATION_ERROR(Format(Value::Double(1e9), "dd/mm/yyyy"), 6);
}

TEST(FormatTest, TimeTextsRewrittenOrReturnedUnchanged) {
  EXPECT_EQ(Formatted(Value("1:5"), "HH:MM"), "01:05");
  EXPECT_EQ(Formatted(Value("23:59"), "HH:MM"), "23:59");
  EXPECT_EQ(Format(Value("25:01"), "HH:MM"), Value("25:01"));
  EXPECT_EQ(Format(Value("24:00"), "HH:MM"), Value("24:00"));
  EXPECT_EQ(Format(Value("596523:14"), "HH:MM"), Value("596523:14"));
  EXPECT_EQ(Format(Value("abc"), "HH:MM"), Value("abc"));
  EXPECT_EQ(Format(Value(""), "HH:MM"), Value(""));
  EXPECT_EQ(Format(Value::Null(), "dd/mm/yyyy"), Value::Null());
  EXPECT_EQ(Format(Value("\xff\xfe:"), "HH:MM"), Value("\xff\xfe:"));
}

TEST(FormatTest, UnknownPicturesFail) {
  for (const char* picture : {"", "0.00", "#", "ddd", "yyy", "hh:mm tt", "000", "Long Date"}) {
    EXPECT_AUTOMATION_ERROR(Format(Value::Double(1), picture), 5);
  }
  EXPECT_AUTOMATION_ERROR(Format(Value::Null(), "x"), 5);
}

TEST(FormatTest, ArraysCannotBeFormatted) {
  EXPECT_AUTOMATION_ERROR(Format(Value::Array({}), "00"), 13);
  EXPECT_AUTOMATION_ERROR(Format(Value::Array({}), "hh:mm"), 13);
}

}  // namespace
}  // namespace zebevi
