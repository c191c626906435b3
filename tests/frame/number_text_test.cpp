#include <gtest/gtest.h>

#include <limits>

#include "frame/field_stub.h"
#include "zebevi/value.h"

namespace zebevi {
namespace {

TEST(NumberTextTest, CommaNoTrailingZerosFifteenDigits) {
  EXPECT_EQ(NumberText(1.5), "1,5");
  EXPECT_EQ(NumberText(2.0), "2");
  EXPECT_EQ(NumberText(-0.5), "-0,5");
  EXPECT_EQ(NumberText(-0.0), "0");
  EXPECT_EQ(NumberText(86399 / 3600.0), "23,9997222222222");
  EXPECT_EQ(NumberText(0.1 + 0.2), "0,3");
  EXPECT_EQ(NumberText(123456789012345.0), "123456789012345");
}

TEST(NumberTextTest, ExponentOnlyWhenFifteenDigitsNeedIt) {
  EXPECT_EQ(NumberText(1e20), "1E+20");
  EXPECT_EQ(NumberText(-2.5e15), "-2,5E+15");
  EXPECT_EQ(NumberText(1e-5), "1E-05");
  EXPECT_EQ(NumberText(0.0001), "0,0001");
}

TEST(ReadNumberTest, AcceptedForms) {
  EXPECT_EQ(ReadNumber("5400"), 5400);
  EXPECT_EQ(ReadNumber("  -12 \t"), -12);
  EXPECT_EQ(ReadNumber("+3"), 3);
  EXPECT_EQ(ReadNumber("1,5"), 1.5);
  EXPECT_EQ(ReadNumber("5,"), 5);
  EXPECT_EQ(ReadNumber("-,25"), -0.25);
  EXPECT_EQ(ReadNumber("1.234.567"), 1234567);
  EXPECT_EQ(ReadNumber("1.234,5"), 1234.5);
  EXPECT_EQ(ReadNumber("1234.567"), 1234567);
}

TEST(ReadNumberTest, RejectedForms) {
  for (const char* text : {"", "-", ",", "1.5", "1.2345", "1..234", ".123", "1.", "1,2,3", "1e5",
                           "R$ 5", "0x10", "1 000", "- 5", "1,5-", "\xff\xfe"}) {
    EXPECT_FALSE(ReadNumber(text).has_value()) << '"' << text << '"';
  }
  EXPECT_FALSE(ReadNumber(std::string_view("1\0"
                                           "2",
                                           3))
                   .has_value());
  EXPECT_FALSE(ReadNumber(std::string(400, '9')).has_value());
}

TEST(IsNumericTest, NumbersEmptyAndReadableText) {
  EXPECT_TRUE(IsNumeric(Value()));
  EXPECT_TRUE(IsNumeric(Value::Double(1)));
  EXPECT_TRUE(IsNumeric(Value::Date(1)));
  EXPECT_TRUE(IsNumeric(Value::Boolean(false)));
  EXPECT_TRUE(IsNumeric(Value(" 123 ")));
  EXPECT_TRUE(IsNumeric(testing::Field(Value("42"))));
  EXPECT_FALSE(IsNumeric(Value::Null()));
  EXPECT_FALSE(IsNumeric(Value("")));
  EXPECT_FALSE(IsNumeric(Value("12A")));
  EXPECT_FALSE(IsNumeric(Value::Array({})));
}

}  // namespace
}  // namespace zebevi
