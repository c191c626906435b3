#include <gtest/gtest.h>

#include <limits>

#include "frame/field_stub.h"
#include "zebevi/value.h"

namespace zebevi {
namespace {

// A comma, no trailing zeros, fifteen digits; an exponent only when they need it.
TEST(NumberTextTest, CommaNoTrailingZerosFifteenDigits) {
  // clang-format off
  const std::pair<double, const char*> cases[] = {
      {1.5, "1,5"}, {2.0, "2"}, {-0.5, "-0,5"}, {-0.0, "0"}, {0.1 + 0.2, "0,3"},
      {86399 / 3600.0, "23,9997222222222"}, {123456789012345.0, "123456789012345"},
      {1e20, "1E+20"}, {-2.5e15, "-2,5E+15"}, {1e-5, "1E-05"}, {0.0001, "0,0001"}};
  // clang-format on
  for (const auto& [number, text] : cases) EXPECT_EQ(NumberText(number), text);
}

TEST(ReadNumberTest, AcceptedAndRejectedFormsAndWhatIsNumeric) {
  const std::pair<const char*, double> accepted[] = {
      {"5400", 5400},  {"  -12 \t", -12},      {"+3", 3},           {"1,5", 1.5},         {"5,", 5},
      {"-,25", -0.25}, {"1.234.567", 1234567}, {"1.234,5", 1234.5}, {"1234.567", 1234567}};
  for (const auto& [text, number] : accepted) EXPECT_EQ(ReadNumber(text), number) << text;
  for (const char* text : {"", "-", ",", "1.5", "1.2345", "1..234", ".123", "1.", "1,2,3", "1e5",
                           "R$ 5", "0x10", "1 000", "- 5", "1,5-", "\xff\xfe"}) {
    EXPECT_FALSE(ReadNumber(text).has_value()) << '"' << text << '"';
  }
  using namespace std::string_literals;
  EXPECT_FALSE(ReadNumber("1\0002"s).has_value());
  EXPECT_FALSE(ReadNumber(std::string(400, '9')).has_value());

  for (const Value& v : {Value(), Value::Double(1), Value::Date(1), Value::Boolean(false),
                         Value(" 123 "), testing::Field(Value("42"))}) {
    EXPECT_TRUE(IsNumeric(v)) << ::testing::PrintToString(v);
  }
  for (const Value& v : {Value::Null(), Value(""), Value("12A"), Value::Array({})}) {
    EXPECT_FALSE(IsNumeric(v)) << ::testing::PrintToString(v);
  }
}

}  // namespace
}  // namespace zebevi
