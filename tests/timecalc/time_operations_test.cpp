#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "frame/trap.h"
#include "support/test_support.h"
#include "timecalc/whole_part.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

const Value kTracking{std::string(frame::kTrackingText)};

// The hour test is rounded, the minutes never; text is read as a number and
// what reads as none is zero.
TEST(ConverteDecimalHora, GivesEveryWorkedExample) {
  // clang-format off
  const std::pair<Value, const char*> examples[] = {
      {Value::Double(59.5), "00:01"}, {Value::Double(59.4), "00:00"}, {Value::Int32(3599), "00:59"},
      {Value::Int32(-5400), "00:00"}, {Value::Double(3599.5), "01:00"},
      {Value::Double(7199.9), "01:59"}, {Value(" 1.234.567 "), "342:56"},
      {Value::Null(), "00:00"}, {Value("abc"), "00:00"}};
  // clang-format on
  for (const auto& [seconds, text] : examples) {
    Value in = seconds, tempo("untouched"), message("earlier");
    EXPECT_TRUE(CreateEVI()->mConverte_Decimal_Hora(in, tempo, message)) << text;
    // A success writes no message.
    EXPECT_EQ(std::tie(tempo, message), std::tuple(Value(text), Value("earlier")));
  }
  // A failed hour step writes no text.
  Value huge = Value::Double(2147483647.5), tempo("untouched"), message("earlier");
  EXPECT_FALSE(CreateEVI()->mConverte_Decimal_Hora(huge, tempo, message));
  EXPECT_EQ(std::tie(tempo, message), std::tuple(Value("untouched"), kTracking));
}

// Whole numbers take a shorter road than texts: every minute of four days,
// its seconds scattered, and the last counter values answer alike either way.
TEST(ConverteDecimalHora, WholeNumbersAnswerAsTheirTexts) {
  auto evi = CreateEVI();
  std::vector<std::int32_t> seconds{2147483647, 2147483000};
  for (std::int32_t s = 0; s < 4 * 86400; s += 59) seconds.push_back(s);
  for (std::int32_t s : seconds) {
    Value text(std::to_string(s)), by_text, by_double, by_int, message;
    ASSERT_TRUE(evi->mConverte_Decimal_Hora(text, by_text, message));
    Value as_double = Value::Double(s), as_int = Value::Int32(s);
    evi->mConverte_Decimal_Hora(as_double, by_double, message);
    evi->mConverte_Decimal_Hora(as_int, by_int, message);
    ASSERT_EQ(std::tie(by_double, by_int), std::tie(by_text, by_text)) << s;
  }
}

TEST(PegaHoraAndMinuto, GiveTheWholePartAsTextOrNumber) {
  auto evi = CreateEVI();
  // The remainder is written only when the part is not exact ("kept"
  // otherwise), as a copy of the input, of its kind.
  struct Split {
    bool hours;
    Value seconds, part, rest;
  };
  const Split splits[] = {{true, Value::Int32(5400), Value("1"), Value::Double(1800)},
                          {true, Value::Int32(7200), Value::Double(2), Value::Double(0)},
                          {true, Value::Int32(3600), Value("01"), Value("kept")},
                          {true, Value("12"), Value("00"), Value("12")},
                          {false, Value::Double(59.5), Value("01"), Value("kept")},
                          {false, Value::Int32(61), Value("1"), Value::Double(1)}};
  for (const Split& s : splits) {
    SCOPED_TRACE(::testing::PrintToString(s.seconds) + (s.hours ? " hours" : " minutes"));
    Value seconds = s.seconds, part, rest("kept"), message;
    const Value result = s.hours ? evi->mPega_Hora(seconds, part, rest, message)
                                 : evi->mPega_Minuto(seconds, part, rest, message);
    EXPECT_EQ(std::tie(result, part, rest, message),
              std::tuple(Value::Boolean(true), s.part, s.rest, Value()));
  }
}

TEST(PegaHoraAndMinuto, TrapWithTheTrackingTextOnly) {
  auto evi = CreateEVI();
  Value seconds = Value::Double(2147483648.0), part("h"), rest("r"), message("x");
  EXPECT_EQ(evi->mPega_Hora(seconds, part, rest, message), Value::Boolean(false));
  EXPECT_EQ(std::tie(message, part, rest), std::tuple(kTracking, Value("h"), Value("r")));
  // A Null reaches the double conversion: the trap runs.
  seconds = Value::Null();
  EXPECT_EQ(evi->mPega_Minuto(seconds, part, rest, message), Value::Boolean(false));

  // One variable passed three times: the hours land in it first, then the
  // remainder from it, 1 - 1 * 3600.
  Value shared = Value::Int32(5400);
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
  std::vector<double> quotients{0.5, 0.999999, 1.0000000000000002, 0.00001, 1e20, 1.5e-5};
  for (std::int64_t n = 1; n < 2147483647; n = n * 3 / 2 + 7) {
    for (double q : {n / 3600.0, n / 60.0, (n + 0.5) / 60.0}) quotients.push_back(q);
  }
  for (double whole : {1.0, 2.0, 23.0, 24.0, 59.0, 99.0, 596523.0, 999999999.0, 1e9, 1e15}) {
    for (double offset :
         {-1e-5, -1.5e-6, -1e-6, -1e-9, -1e-12, 0.0, 1e-15, 1e-12, 1e-9, 1e-6, 1.5e-6, 1e-5}) {
      for (double q : {whole + offset, std::nextafter(whole + offset, 0.0),
                       std::nextafter(whole + offset, 2e15)}) {
        quotients.push_back(q);
      }
    }
  }
  for (double q : quotients) {
    const Value fast = WholePart(q);
    EXPECT_EQ(std::tuple(fast.kind(), fast),
              std::tuple(WholePartByText(q).kind(), WholePartByText(q)))
        << q;
  }
}

}  // namespace
}  // namespace zebevi::timecalc
