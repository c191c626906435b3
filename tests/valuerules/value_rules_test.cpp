#include "zebevi/value_rules.h"

#include <gtest/gtest.h>

#include <limits>

#include "frame/field_stub.h"
#include "support/test_support.h"

namespace zebevi {
namespace {

using testing::Field;

class ValueRulesTest : public ::testing::Test {
 protected:
  std::unique_ptr<ValueRules> rules_ = CreateValueRules();
};

TEST_F(ValueRulesTest, AsNumberKeepsNumbersAndGivesZeroForTheRest) {
  EXPECT_EQ(rules_->AsNumber(Value::Int16(7)), Value::Int16(7));
  EXPECT_EQ(rules_->AsNumber(Value::Double(1.5)), Value::Double(1.5));
  EXPECT_EQ(rules_->AsNumber(Value::Boolean(true)), Value::Int32(-1));
  EXPECT_EQ(rules_->AsNumber(Value::Date(37320.5)), Value::Double(37320.5));
  EXPECT_EQ(rules_->AsNumber(Value(" 5400 ")), Value::Double(5400));
  EXPECT_EQ(rules_->AsNumber(Field(Value::Int32(12))), Value::Int32(12));
  for (const Value& v : {Value(), Value::Null(), Value("  "), Value("12A"), Value::Array({})}) {
    EXPECT_EQ(rules_->AsNumber(v), Value::Int32(0)) << KindName(v.kind());
  }
}

TEST_F(ValueRulesTest, AsText) {
  EXPECT_EQ(rules_->AsText(Value::Null()), Value(""));
  EXPECT_EQ(rules_->AsText(Value()), Value(""));
  EXPECT_EQ(rules_->AsText(Value(" \tABC 1 \t")), Value("ABC 1"));
  EXPECT_EQ(rules_->AsText(Value::Double(1.5)), Value("1,5"));
  EXPECT_EQ(rules_->AsText(Value::Boolean(true)), Value("Verdadeiro"));
  EXPECT_EQ(rules_->AsText(Value::Date(37320)), Value("05/03/2002"));
  EXPECT_EQ(rules_->AsText(Value::Date(0.5)), Value("30/12/1899 12:00:00"));
  EXPECT_EQ(rules_->AsText(Field(Value::Date(37320.25))), Value("05/03/2002 06:00:00"));
}

TEST_F(ValueRulesTest, SqlNumberGivesOnlyNumericLiteralsOrNull) {
  EXPECT_EQ(rules_->SqlNumber(Value::Int32(-12)), "-12");
  EXPECT_EQ(rules_->SqlNumber(Value::Double(1.5)), "1.5");
  EXPECT_EQ(rules_->SqlNumber(Value::Double(0.1)), "0.1");
  EXPECT_EQ(rules_->SqlNumber(Value::Double(-0.0)), "0");
  EXPECT_EQ(rules_->SqlNumber(Value::Double(1e15)), "1000000000000000");
  EXPECT_EQ(rules_->SqlNumber(Value::Double(1e-7)), "0.0000001");
  EXPECT_EQ(rules_->SqlNumber(Value::Boolean(true)), "-1");
  EXPECT_EQ(rules_->SqlNumber(Value::Date(37320.5)), "37320.5");
  EXPECT_EQ(rules_->SqlNumber(Value(" 1.234,5 ")), "1234.5");
  for (const Value& v : {Value(), Value::Null(), Value(" "), Value("1; DROP TABLE x"), Value("1e5"),
                         Value::Double(std::numeric_limits<double>::infinity()),
                         Value::Double(std::numeric_limits<double>::quiet_NaN())}) {
    EXPECT_EQ(rules_->SqlNumber(v), "NULL");
  }
  EXPECT_EQ(rules_->SqlNumber(Value::Double(1e300)).find_first_not_of("0123456789"),
            std::string::npos);
}

TEST_F(ValueRulesTest, SqlTextQuotesAndDoublesQuotes) {
  EXPECT_EQ(rules_->SqlText(Value("S")), "'S'");
  EXPECT_EQ(rules_->SqlText(Value("x'; DROP")), "'x''; DROP'");
  EXPECT_EQ(rules_->SqlText(Value("  123 ")), "'123'");
  EXPECT_EQ(rules_->SqlText(Value::Double(1.5)), "'1,5'");
  EXPECT_EQ(rules_->SqlText(Value("Jo\xc3\xa3o")), "'Jo\xc3\xa3o'");
  EXPECT_EQ(rules_->SqlText(Field(Value("O'Hara"))), "'O''Hara'");
  for (const Value& v : {Value(), Value::Null(), Value(""), Value(" \t ")}) {
    EXPECT_EQ(rules_->SqlText(v), "NULL");
  }
}

TEST_F(ValueRulesTest, SqlDate) {
  EXPECT_EQ(rules_->SqlDate(Value::Date(37320)), "'2002-03-05'");
  EXPECT_EQ(rules_->SqlDate(Value::Date(37320.5)), "'2002-03-05 12:00:00'");
  EXPECT_EQ(rules_->SqlDate(Value::Int32(37320)), "'2002-03-05'");
  EXPECT_EQ(rules_->SqlDate(Value("5/3/2002")), "'2002-03-05'");
  EXPECT_EQ(rules_->SqlDate(Value(" 05/03/2002 14:07:09 ")), "'2002-03-05 14:07:09'");
  EXPECT_EQ(rules_->SqlDate(Value("2002-03-05")), "'2002-03-05'");
  for (const Value& v : {Value(), Value::Null(), Value("   ")}) {
    EXPECT_EQ(rules_->SqlDate(v), "NULL");
  }
  EXPECT_AUTOMATION_ERROR(rules_->SqlDate(Value("31/02/2002")), 13);
  EXPECT_AUTOMATION_ERROR(rules_->SqlDate(Value("2002-03-05'; DROP")), 13);
  EXPECT_AUTOMATION_ERROR(rules_->SqlDate(Value::Double(1e12)), 6);
}

TEST_F(ValueRulesTest, CleanTextRemovesControlsThenOuterSpaces) {
  EXPECT_EQ(rules_->CleanText("  12345\r\n"), "12345");
  EXPECT_EQ(rules_->CleanText("\t 12\x01"
                              "3\x7f 45 \x1f"),
            "123 45");
  EXPECT_EQ(rules_->CleanText("a\xc2\x85"
                              "b\xc2\x9f"
                              "c"),
            "abc");
  EXPECT_EQ(rules_->CleanText("S\xc3\xa3o Jo\xc2\xa0o"), "S\xc3\xa3o Jo\xc2\xa0o");
  EXPECT_EQ(rules_->CleanText(" \r\n "), "");
  EXPECT_EQ(rules_->CleanText(std::string_view("1\0"
                                               "2",
                                               3)),
            "12");
  // Broken UTF-8 stays as it is, minus the controls.
  EXPECT_EQ(rules_->CleanText("\xff\x80\xc2"), "\xff\x80\xc2");
  EXPECT_EQ(rules_->CleanText("\xc2\n\x85"), "");
}

TEST_F(ValueRulesTest, AFieldIsReadAtEachCall) {
  auto field = std::make_shared<testing::FieldStub>(Value::Int32(1));
  const Value v = Value::Object(field);
  EXPECT_EQ(rules_->SqlNumber(v), "1");
  field->set(Value::Null());
  EXPECT_EQ(rules_->SqlNumber(v), "NULL");
  EXPECT_EQ(rules_->AsNumber(v), Value::Int32(0));
  // An object without a value is a type mismatch.
  const Value bare = Value::Object(std::make_shared<AutomationObject>());
  EXPECT_AUTOMATION_ERROR(rules_->AsNumber(bare), 13);
  EXPECT_AUTOMATION_ERROR(rules_->SqlText(bare), 13);
}

}  // namespace
}  // namespace zebevi
