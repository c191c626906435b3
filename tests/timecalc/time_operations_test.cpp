#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "frame/trap.h"
#include "timecalc/whole_part.h"
#include "support/test_support.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

const Value kTracking{std::string(frame::kTrackingText)};

struct Converted {
  bool result;
  Value tempo;
  Value message;
};

Converted Convert(Value seconds, Value tempo = Value("untouched")) {
  auto evi = CreateEVI();
  Value message("earlier");
  const bool result = evi->mConverte_Decimal_Hora(seconds, tempo, message);
  return {result, tempo, message};
}

TEST(ConverteDecimalHora, GivesEveryWorkedExample) {
  const std::vector<std::pair<Value, std::string>> examples{
      {Value::Int32(0), "00:00"},        {Value::Double(1.5), "00:00"},
      {Value::Int32(10), "00:00"},       {Value::Double(59.5), "00:01"},
      {Value::Int32(90), "00:01"},       {Value::Int32(3599), "00:59"},
      {Value::Int32(3600), "01:00"},     {Value::Int32(5400), "01:30"},
      {Value::Int32(86399), "23:59"},    {Value::Int32(86400), "24:00"},
      {Value::Int32(90061), "25:01"},    {Value::Int32(-5400), "00:00"},
      {Value::Int32(2147483647), "596523:14"}};
  for (const auto& [seconds, text] : examples) {
    const Converted c = Convert(seconds);
    EXPECT_TRUE(c.result) << text;
    EXPECT_EQ(c.tempo, Value(text)) << "for " << text;
    EXPECT_EQ(c.message, Value("earlier")) << "a success writes no message";
  }
}

TEST(ConverteDecimalHora, RoundsTheHourTestButNeverTheMinutes) {
  EXPECT_EQ(Convert(Value::Double(59.4)).tempo, Value("00:00"));
  EXPECT_EQ(Convert(Value::Double(60.0001)).tempo, Value("00:01"));
  EXPECT_EQ(Convert(Value::Double(3599.5)).tempo, Value("01:00"));
  EXPECT_EQ(Convert(Value::Double(3600.5)).tempo, Value("01:00"));
  EXPECT_EQ(Convert(Value::Int32(360000)).tempo, Value("100:00"));
  EXPECT_EQ(Convert(Value::Double(7199.9)).tempo, Value("01:59"));
}

TEST(ConverteDecimalHora, ReadsTextAndTakesAbsentValuesAsZero) {
  EXPECT_EQ(Convert(Value("5400")).tempo, Value("01:30"));
  EXPECT_EQ(Convert(Value(" 1.234.567 ")).tempo, Value("342:56"));
  for (const Value& nothing : {Value(), Value::Null(), Value(""), Value("abc")}) {
    const Converted c = Convert(nothing);
    EXPECT_TRUE(c.result);
    EXPECT_EQ(c.tempo, Value("00:00"));
  }
}

TEST(ConverteDecimalHora, StopsOnAFailedHourStepWithoutWritingTheText) {
  for (const Value& huge : {Value::Double(2147483648.0), Value::Double(2147483647.5),
                            Value::Double(-2147483649.0)}) {
    const Converted c = Convert(huge);
    EXPECT_FALSE(c.result);
    EXPECT_EQ(c.tempo, Value("untouched"));
    EXPECT_EQ(c.message, kTracking);
  }
}

TEST(PegaHora, GivesTheWholeHoursAsTextOrNumber) {
  auto evi = CreateEVI();
  Value hora, resto("kept"), message;
  Value seconds = Value::Int32(5400);
  EXPECT_EQ(evi->mPega_Hora(seconds, hora, resto, message), Value::Boolean(true));
  EXPECT_EQ(hora, Value("1"));
  EXPECT_EQ(resto, Value::Double(1800));

  seconds = Value::Int32(7200);
  evi->mPega_Hora(seconds, hora, resto, message);
  EXPECT_EQ(hora, Value::Double(2));
  EXPECT_EQ(resto, Value::Double(0));

  resto = Value("kept");
  seconds = Value::Int32(3600);
  evi->mPega_Hora(seconds, hora, resto, message);
  EXPECT_EQ(hora, Value("01"));
  EXPECT_EQ(resto, Value("kept"));

  seconds = Value("12");
  evi->mPega_Hora(seconds, hora, resto, message);
  EXPECT_EQ(hora, Value("00"));
  EXPECT_EQ(resto, Value("12")) << "a copy of the input, same kind";
  EXPECT_EQ(message, Value());
}

TEST(PegaHora, TrapsAnOverflowWithTheTrackingTextOnly) {
  auto evi = CreateEVI();
  Value seconds = Value::Double(2147483648.0), hora("h"), resto("r"), message("x");
  EXPECT_EQ(evi->mPega_Hora(seconds, hora, resto, message), Value::Boolean(false));
  EXPECT_EQ(message, kTracking);
  EXPECT_EQ(hora, Value("h"));
  EXPECT_EQ(resto, Value("r"));
}

TEST(PegaMinuto, TestsThePlainDoubleAgainstSixty) {
  auto evi = CreateEVI();
  Value minuto, resto("kept"), message;
  Value seconds = Value::Int32(30);
  EXPECT_EQ(evi->mPega_Minuto(seconds, minuto, resto, message), Value::Boolean(true));
  EXPECT_EQ(minuto, Value("00"));
  EXPECT_EQ(resto, Value::Int32(30));

  resto = Value("kept");
  seconds = Value::Double(59.5);
  evi->mPega_Minuto(seconds, minuto, resto, message);
  EXPECT_EQ(minuto, Value("01"));
  EXPECT_EQ(resto, Value("kept"));

  seconds = Value::Int32(61);
  evi->mPega_Minuto(seconds, minuto, resto, message);
  EXPECT_EQ(minuto, Value("1"));
  EXPECT_EQ(resto, Value::Double(1));

  seconds = Value::Int32(120);
  evi->mPega_Minuto(seconds, minuto, resto, message);
  EXPECT_EQ(minuto, Value::Double(2));

  // A Null reaches the double conversion: the trap runs.
  seconds = Value::Null();
  EXPECT_EQ(evi->mPega_Minuto(seconds, minuto, resto, message), Value::Boolean(false));
  EXPECT_EQ(message, kTracking);
}

TEST(PegaHora, WritesBothResultsWhenTheCallerPassesOneVariableTwice) {
  auto evi = CreateEVI();
  Value shared = Value::Int32(5400), message;
  // The hours land in the shared variable first, then the remainder is
  // computed from it: 1 - 1 * 3600.
  evi->mPega_Hora(shared, shared, shared, message);
  EXPECT_EQ(shared, Value::Double(-3599));
}

}  // namespace
}  // namespace zebevi

namespace zebevi::timecalc {
namespace {

// The whole-part rule as written: the text before the comma of the
// quotient's 15-digit text, else the quotient itself.
Value WholePartByText(double quotient) {
  const std::string text = NumberText(quotient);
  const std::int32_t comma = InStr(text, ",");
  return comma > 0 ? Value::String(Mid(text, 1, comma - 1)) : Value::Double(quotient);
}

// Quotients the hour and minute steps make, and those beside whole numbers
// and at the ends of the range taken without text, where only the text can
// tell.
TEST(WholePart, FollowsTheTextRuleEverywhere) {
  std::vector<double> quotients;
  for (std::int64_t n = 1; n < 2147483647; n = n * 3 / 2 + 7) {
    quotients.push_back(static_cast<double>(n) / 3600.0);
    quotients.push_back(static_cast<double>(n) / 60.0);
    quotients.push_back((static_cast<double>(n) + 0.5) / 60.0);
  }
  for (double whole : {1.0, 2.0, 23.0, 24.0, 59.0, 99.0, 596523.0, 999999999.0, 1e9, 1e15}) {
    for (double offset : {-1e-5, -1.5e-6, -1e-6, -1e-9, -1e-12, 0.0, 1e-15, 1e-12, 1e-9, 1e-6,
                          1.5e-6, 1e-5}) {
      quotients.push_back(whole + offset);
      quotients.push_back(std::nextafter(whole + offset, 0.0));
      quotients.push_back(std::nextafter(whole + offset, 2e15));
    }
  }
  for (double q : {0.5, 0.999999, 1.0000000000000002, 0.00001, 1e20, 1.5e-5}) quotients.push_back(q);
  for (double q : quotients) {
    const Value fast = WholePart(q);
    const Value rule = WholePartByText(q);
    EXPECT_EQ(fast.kind(), rule.kind()) << q;
    EXPECT_EQ(fast, rule) << q;
  }
}

}  // namespace
}  // namespace zebevi::timecalc
