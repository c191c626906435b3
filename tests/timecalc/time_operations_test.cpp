#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
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
      {Value::Int32(0), "00:00"},       {Value::Double(59.5), "00:01"},
      {Value::Int32(90), "00:01"},      {Value::Int32(3599), "00:59"},
      {Value::Int32(3600), "01:00"},    {Value::Int32(86400), "24:00"},
      {Value::Int32(-5400), "00:00"},   {Value::Int32(2147483647), "596523:14"}};
  for (const auto& [seconds, text] : examples) {
    const Converted c = Convert(seconds);
    EXPECT_TRUE(c.result) << text;
    EXPECT_EQ(c.tempo, Value(text)) << "for " << text;
    EXPECT_EQ(c.message, Value("earlier")) << "a success writes no message";
  }
}

TEST(ConverteDecimalHora, RoundsTheHourTestButNeverTheMinutes) {
  EXPECT_EQ(Convert(Value::Double(59.4)).tempo, Value("00:00"));
  EXPECT_EQ(Convert(Value::Double(3599.5)).tempo, Value("01:00"));
  EXPECT_EQ(Convert(Value::Double(7199.9)).tempo, Value("01:59"));
}

TEST(ConverteDecimalHora, ReadsTextAndTakesAbsentValuesAsZero) {
  EXPECT_EQ(Convert(Value("5400")).tempo, Value("01:30"));
  EXPECT_EQ(Convert(Value(" 1.234.567 ")).tempo, Value("342:56"));
  for (const Value& nothing : {Value(), Value::Null(), Value("abc")}) {
    const Converted c = Convert(nothing);
    EXPECT_TRUE(c.result);
    EXPECT_EQ(c.tempo, Value("00:00"));
  }
}

// Whole numbers take a shorter road than texts: every minute of four days,
// its seconds scattered, and the last counter value answer alike either way.
TEST(ConverteDecimalHora, WholeNumbersAnswerAsTheirTexts) {
  auto evi = CreateEVI();
  std::vector<std::int32_t> seconds{2147483647, 2147483000};
  for (std::int32_t s = 0; s < 4 * 86400; s += 59) seconds.push_back(s);
  for (std::int32_t s : seconds) {
    Value text(std::to_string(s)), by_text, message;
    ASSERT_TRUE(evi->mConverte_Decimal_Hora(text, by_text, message));
    for (Value number : {Value::Double(s), Value::Int32(s)}) {
      Value by_number;
      ASSERT_TRUE(evi->mConverte_Decimal_Hora(number, by_number, message));
      ASSERT_EQ(by_number, by_text) << s;
    }
  }
}

TEST(ConverteDecimalHora, StopsOnAFailedHourStepWithoutWritingTheText) {
  for (const Value& huge : {Value::Double(2147483647.5), Value::Double(-2147483649.0)}) {
    const Converted c = Convert(huge);
    EXPECT_FALSE(c.result);
    EXPECT_EQ(c.tempo, Value("untouched"));
    EXPECT_EQ(c.message, kTracking);
  }
}

// The remainder is written only when the part is not exact ("kept" otherwise).
struct Split {
  Value seconds, part, rest;
};

TEST(PegaHoraAndMinuto, GiveTheWholePartAsTextOrNumber) {
  auto evi = CreateEVI();
  const struct {
    bool hours;
    std::vector<Split> splits;
  } operations[] = {
      {true,
       {{Value::Int32(5400), Value("1"), Value::Double(1800)},
        {Value::Int32(7200), Value::Double(2), Value::Double(0)},
        {Value::Int32(3600), Value("01"), Value("kept")},
        // The remainder is a copy of the input, of its kind.
        {Value("12"), Value("00"), Value("12")}}},
      {false,
       {{Value::Int32(30), Value("00"), Value::Int32(30)},
        {Value::Double(59.5), Value("01"), Value("kept")},
        {Value::Int32(61), Value("1"), Value::Double(1)},
        {Value::Int32(120), Value::Double(2), Value::Double(0)}}},
  };
  for (const auto& op : operations) {
    for (const Split& s : op.splits) {
      SCOPED_TRACE(::testing::PrintToString(s.seconds) + (op.hours ? " hours" : " minutes"));
      Value seconds = s.seconds, part, rest("kept"), message;
      const Value result = op.hours ? evi->mPega_Hora(seconds, part, rest, message)
                                    : evi->mPega_Minuto(seconds, part, rest, message);
      EXPECT_EQ(result, Value::Boolean(true));
      EXPECT_EQ(part, s.part);
      EXPECT_EQ(rest, s.rest);
      EXPECT_EQ(message, Value());
    }
  }
}

TEST(PegaHoraAndMinuto, TrapWithTheTrackingTextOnly) {
  auto evi = CreateEVI();
  Value seconds = Value::Double(2147483648.0), part("h"), rest("r"), message("x");
  EXPECT_EQ(evi->mPega_Hora(seconds, part, rest, message), Value::Boolean(false));
  EXPECT_EQ(message, kTracking);
  EXPECT_EQ(part, Value("h"));
  EXPECT_EQ(rest, Value("r"));
  // A Null reaches the double conversion: the trap runs.
  seconds = Value::Null();
  message = Value();
  EXPECT_EQ(evi->mPega_Minuto(seconds, part, rest, message), Value::Boolean(false));
  EXPECT_EQ(message, kTracking);
}

TEST(PegaHora, WritesBothResultsWhenTheCallerPassesOneVariableTwice) {
  auto evi = CreateEVI();
  Value shared = Value::Int32(5400), message;
  // The hours land in it first, then the remainder from it: 1 - 1 * 3600.
  evi->mPega_Hora(shared, shared, shared, message);
  EXPECT_EQ(shared, Value::Double(-3599));
}

}  // namespace
}  // namespace zebevi

namespace zebevi::timecalc {
namespace {

// The rule as written: the text before the comma of the quotient's 15-digit text.
Value WholePartByText(double quotient) {
  const std::string text = NumberText(quotient);
  const std::int32_t comma = InStr(text, ",");
  return comma > 0 ? Value::String(Mid(text, 1, comma - 1)) : Value::Double(quotient);
}

// The steps' quotients, and those beside whole numbers where only the text can tell.
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
