#include "zebevi/value_rules.h"

#include <gtest/gtest.h>

#include <limits>

#include "frame/field_stub.h"
#include "support/test_support.h"

namespace zebevi {
namespace {

using testing::Field;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

class ValueRulesTest : public ::testing::Test {
 protected:
  std::unique_ptr<ValueRules> rules_ = CreateValueRules();
};

TEST_F(ValueRulesTest, AsNumberKeepsNumbersAndGivesZeroForTheRestAsTextTrims) {
  // clang-format off
  const std::pair<Value, Value> numbers[] = {
      {Value::Int16(7), Value::Int16(7)}, {Value::Boolean(true), Value::Int32(-1)},
      {Value::Date(37320.5), Value::Double(37320.5)}, {Value(" 5400 "), Value::Double(5400)},
      {Field(Value::Int32(12)), Value::Int32(12)}, {Value::Null(), Value::Int32(0)},
      {Value("12A"), Value::Int32(0)}};
  const std::pair<Value, const char*> texts[] = {
      {Value::Null(), ""}, {Value(" \tABC 1 \t"), "ABC 1"}, {Value::Double(1.5), "1,5"},
      {Value::Date(0.5), "30/12/1899 12:00:00"},
      {Field(Value::Date(37320.25)), "05/03/2002 06:00:00"}};
  // clang-format on
  for (const auto& [v, n] : numbers)
    EXPECT_EQ(rules_->AsNumber(v), n) << ::testing::PrintToString(v);
  for (const auto& [v, t] : texts) EXPECT_EQ(rules_->AsText(v), Value(t)) << t;
}

// Only numeric literals or NULL, quoted texts with their quotes doubled,
// dates as ISO texts: nothing typed reaches the command as SQL.
TEST_F(ValueRulesTest, SqlLiterals) {
  // clang-format off
  const std::pair<Value, const char*> numbers[] = {
      {Value::Int32(-12), "-12"}, {Value::Double(0.1), "0.1"}, {Value::Double(-0.0), "0"},
      {Value::Double(1e15), "1000000000000000"}, {Value::Double(1e-7), "0.0000001"},
      {Value::Date(37320.5), "37320.5"}, {Value(" 1.234,5 "), "1234.5"}, {Value(), "NULL"},
      {Value("1; DROP TABLE x"), "NULL"}, {Value("1e5"), "NULL"}, {Value::Double(kNaN), "NULL"}};
  const std::pair<Value, const char*> texts[] = {
      {Value("x'; DROP"), "'x''; DROP'"}, {Value("  123 "), "'123'"},
      {Value::Double(1.5), "'1,5'"}, {Field(Value("O'Hara")), "'O''Hara'"},
      {Value::Null(), "NULL"}, {Value(" \t "), "NULL"}};
  const std::pair<Value, const char*> dates[] = {
      {Value::Date(37320.5), "'2002-03-05 12:00:00'"}, {Value::Int32(37320), "'2002-03-05'"},
      {Value(" 05/03/2002 14:07:09 "), "'2002-03-05 14:07:09'"},
      {Value("2002-03-05"), "'2002-03-05'"}, {Value::Null(), "NULL"}, {Value("   "), "NULL"}};
  // clang-format on
  for (const auto& [v, sql] : numbers) EXPECT_EQ(rules_->SqlNumber(v), sql);
  for (const auto& [v, sql] : texts) EXPECT_EQ(rules_->SqlText(v), sql);
  for (const auto& [v, sql] : dates) EXPECT_EQ(rules_->SqlDate(v), sql);
  EXPECT_EQ(rules_->SqlNumber(Value::Double(1e300)).find_first_not_of("0123456789"),
            std::string::npos);
  EXPECT_AUTOMATION_ERROR(rules_->SqlDate(Value("2002-03-05'; DROP")), 13);
  EXPECT_AUTOMATION_ERROR(rules_->SqlDate(Value::Double(1e12)), 6);
}

TEST_F(ValueRulesTest, CleanTextRemovesControlsThenOuterSpacesAndFieldsAreReadAtEachCall) {
  // Broken UTF-8 stays as it is, minus the controls.
  // clang-format off
  const std::pair<std::string_view, const char*> cases[] = {
      {"  12345\r\n", "12345"}, {"\t 12\x01" "3\x7f 45 \x1f", "123 45"},
      {"a\xc2\x85" "b\xc2\x9f" "c", "abc"}, {"S\xc3\xa3o Jo\xc2\xa0o", "S\xc3\xa3o Jo\xc2\xa0o"},
      {" \r\n ", ""}, {std::string_view("1\0" "2", 3), "12"}, {"\xff\x80\xc2", "\xff\x80\xc2"},
      {"\xc2\n\x85", ""}};
  // clang-format on
  for (const auto& [text, clean] : cases) EXPECT_EQ(rules_->CleanText(text), clean);

  auto field = std::make_shared<testing::FieldStub>(Value::Int32(1));
  const Value v = Value::Object(field);
  EXPECT_EQ(rules_->SqlNumber(v), "1");
  field->set(Value::Null());
  EXPECT_EQ(rules_->SqlNumber(v), "NULL");
  // An object without a value is a type mismatch.
  EXPECT_AUTOMATION_ERROR(rules_->SqlText(Value::Object(std::make_shared<AutomationObject>())), 13);
}

}  // namespace
}  // namespace zebevi
