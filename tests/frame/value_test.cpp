#include "zebevi/value.h"

#include <gtest/gtest.h>

#include <limits>

#include "frame/field_stub.h"
#include "support/test_support.h"

namespace zebevi {
namespace {

using testing::Field;
using testing::FieldStub;

const Value kTrue = Value::Boolean(true);
const Value kFalse = Value::Boolean(false);

TEST(ValueTest, KindsAndTheirTypeCodes) {
  EXPECT_FALSE(Value::Date(1).is_number());
  EXPECT_AUTOMATION_ERROR(Value::Double(1).int32(), 13);
  EXPECT_AUTOMATION_ERROR(Value::Date(1).dbl(), 13);
  EXPECT_AUTOMATION_ERROR(Value().string(), 13);
  EXPECT_EQ(KindName(Field(Value()).kind()), "Object");
  EXPECT_EQ(static_cast<int>(Value::Boolean(false).kind()), 11);
  EXPECT_EQ(static_cast<int>(Value::Array({}).kind()), 0x200C);
}

TEST(ValueTest, CopyingSharesObjectsAndCopiesArrays) {
  auto field = std::make_shared<FieldStub>(Value::Int32(1));
  const Value a = Value::Object(field);
  const Value b = a;
  field->set(Value("changed"));
  EXPECT_EQ(Plain(b), Value("changed"));
  EXPECT_EQ(field.use_count(), 3);

  Value list = Value::Array({Value::Int32(1)});
  const Value copy = list;
  Element(list, 0) = Value("new");
  EXPECT_EQ(copy.array()[0], Value::Int32(1));
  EXPECT_NE(Value::Int16(1), Value::Int32(1));
  EXPECT_NE(Value::Double(1), Value::Date(1));
}

TEST(ValueTest, PlainReadsTheFieldValue) {
  EXPECT_EQ(Plain(Field(Value::Double(2.5))), Value::Double(2.5));
  EXPECT_EQ(Plain(Value("x")), Value("x"));
  EXPECT_AUTOMATION_ERROR(Plain(Value::Object(std::make_shared<AutomationObject>())), 13);
  EXPECT_AUTOMATION_ERROR(Plain(Value::Object(nullptr)), 13);
}

TEST(ValueTest, TruthOnlyForTrueAndNonZeroNumbers) {
  EXPECT_TRUE(IsTrue(kTrue));
  EXPECT_TRUE(IsTrue(Value::Int32(-3)));
  EXPECT_TRUE(IsTrue(Value::Double(0.1)));
  EXPECT_TRUE(IsTrue(Value::Date(1)));
  EXPECT_TRUE(IsTrue(Field(kTrue)));
  EXPECT_FALSE(IsTrue(kFalse));
  EXPECT_FALSE(IsTrue(Value::Int16(0)));
  EXPECT_FALSE(IsTrue(Value()));
  EXPECT_FALSE(IsTrue(Value::Null()));
  EXPECT_FALSE(IsTrue(Value("1")));
}

TEST(ValueTest, ComparisonWithNumber) {
  EXPECT_EQ(Eq(Value("1"), 1), kTrue);
  EXPECT_EQ(Eq(Value(" 1,0 "), 1), kTrue);
  EXPECT_EQ(Eq(Value(), 1), kFalse);
  EXPECT_EQ(Eq(Value(), 0), kTrue);
  EXPECT_EQ(Eq(Value::Null(), 1), Value::Null());
  EXPECT_EQ(Eq(Value::Boolean(true), -1), kTrue);
  EXPECT_EQ(Eq(Value::Date(2), 2), kTrue);
  EXPECT_EQ(Ne(Value::Int16(114), 114), kFalse);
  EXPECT_EQ(Gt(Value::Int32(1), 0), kTrue);
  EXPECT_EQ(Gt(Value::Double(-0.5), 0), kFalse);
  EXPECT_EQ(Eq(Field(Value::Double(1)), 1), kTrue);
  EXPECT_AUTOMATION_ERROR(Eq(Value("abc"), 1), 13);
  EXPECT_AUTOMATION_ERROR(Eq(Value(""), 0), 13);
  EXPECT_AUTOMATION_ERROR(Gt(Value::Array({}), 0), 13);
}

TEST(ValueTest, ComparisonWithText) {
  EXPECT_EQ(Eq(Value(), ""), kTrue);
  EXPECT_EQ(Eq(Value("S"), "S"), kTrue);
  EXPECT_EQ(Eq(Value("s"), "S"), kFalse);
  EXPECT_EQ(Eq(Value("S "), "S"), kFalse);
  EXPECT_EQ(Ne(Value::Null(), ""), Value::Null());
  EXPECT_EQ(Eq(Value::Double(1.5), "1,5"), kTrue);
  EXPECT_EQ(Eq(Value::Int32(7), "7"), kTrue);
  EXPECT_EQ(Eq(Field(Value::Null()), ""), Value::Null());
}

TEST(ValueTest, ThreeValuedAndNot) {
  const Value null = Value::Null();
  EXPECT_EQ(And({kTrue, kTrue}), kTrue);
  EXPECT_EQ(And({kTrue, null}), null);
  EXPECT_EQ(And({null, kFalse}), kFalse);
  EXPECT_EQ(And({Value::Int32(2), kTrue}), kTrue);
  EXPECT_EQ(And({Value(), kTrue}), kFalse);
  // A Null field against "" joined with true comparisons never takes a branch.
  EXPECT_FALSE(IsTrue(And({Eq(Field(null), ""), Eq(Value("S"), "S")})));
  EXPECT_EQ(Not(kTrue), kFalse);
  EXPECT_EQ(Not(kFalse), kTrue);
  EXPECT_EQ(Not(null), null);
}

TEST(ValueTest, Concatenation) {
  EXPECT_EQ(Value("x") & Value::Null(), Value("x"));
  EXPECT_EQ(Value::Null() & Value("x"), Value("x"));
  EXPECT_EQ(Value::Null() & Value::Null(), Value::Null());
  EXPECT_EQ(Value::Null() & Value(), Value(""));
  EXPECT_EQ(Value::Int16(5) & Value(":") & Value::Double(0.25), Value("5:0,25"));
  EXPECT_EQ(Value::Boolean(true) & Value::Boolean(false), Value("VerdadeiroFalso"));
  EXPECT_EQ(Value("d=") & Value::Date(2.5), Value("d=01/01/1900 12:00:00"));
  EXPECT_EQ(Field(Value::Int32(-3)) & Value("!"), Value("-3!"));
  EXPECT_AUTOMATION_ERROR(Value::Array({}) & Value("x"), 13);
}

TEST(ValueTest, ToInt32RoundsHalfToEvenWithinRange) {
  const std::pair<Value, std::int32_t> cases[] = {
      {Value::Double(2.5), 2},     {Value::Double(3.5), 4},    {Value::Double(-2.5), -2},
      {Value::Double(2.5000001), 3}, {Value("3600,5"), 3600},  {Value::Boolean(true), -1},
      {Field(Value::Int16(9)), 9}, {Value::Double(2147483647.4), 2147483647},
      {Value::Double(-2147483648.5), -2147483647 - 1}};
  for (const auto& [v, n] : cases) EXPECT_EQ(ToInt32(v), n) << ::testing::PrintToString(v);
  const std::pair<Value, int> failures[] = {
      {Value::Double(2147483647.5), 6},
      {Value::Double(-2147483649.0), 6},
      {Value::Double(std::numeric_limits<double>::quiet_NaN()), 6},
      {Value::Null(), 94},
      {Value("abc"), 13},
      {Value::Array({}), 13}};
  for (const auto& [v, number] : failures) EXPECT_AUTOMATION_ERROR(ToInt32(v), number);
}

TEST(ValueTest, ToDoubleAndToString) {
  EXPECT_EQ(ToDouble(Value()), 0);
  EXPECT_EQ(ToDouble(Value("1.234,5")), 1234.5);
  EXPECT_EQ(ToDouble(Value::Date(3.75)), 3.75);
  EXPECT_AUTOMATION_ERROR(ToDouble(Value::Null()), 94);

  EXPECT_EQ(ToString(Value()), "");
  EXPECT_EQ(ToString(Value::Double(1.5)), "1,5");
  EXPECT_EQ(ToString(Value::Boolean(false)), "Falso");
  EXPECT_EQ(ToString(Value::Date(37320)), "05/03/2002");
  EXPECT_EQ(ToString(Value::Date(37320 + (14 * 3600 + 7 * 60 + 9) / 86400.0)),
            "05/03/2002 14:07:09");
  EXPECT_EQ(ToString(Value::Date(0.5)), "12:00:00");
  EXPECT_EQ(ToString(Value::Date(-1.5)), "29/12/1899 12:00:00");
  EXPECT_AUTOMATION_ERROR(ToString(Value::Null()), 94);
  EXPECT_AUTOMATION_ERROR(ToString(Value::Array({})), 13);
}

TEST(ValueTest, CheckedArithmetic) {
  EXPECT_EQ(CheckedAdd(2147483646, 1), 2147483647);
  EXPECT_EQ(CheckedMul(596523, 3600), 2147482800);
  EXPECT_AUTOMATION_ERROR(CheckedAdd(2147483647, 1), 6);
  EXPECT_AUTOMATION_ERROR(CheckedSub(-2147483647 - 1, 1), 6);
  EXPECT_AUTOMATION_ERROR(CheckedMul(596524, 3600), 6);
}

TEST(ValueTest, TextPositions) {
  EXPECT_EQ(InStr("23,9997", ","), 3);
  EXPECT_EQ(InStr("abcabc", "ca"), 3);
  EXPECT_EQ(InStr("abc", ""), 1);
  EXPECT_EQ(Mid("abc", 2, 10), "bc");
  EXPECT_EQ(Mid("abc", 4, 1), "");
  EXPECT_EQ(Mid("abc", 1, 0), "");
  EXPECT_AUTOMATION_ERROR(Mid("abc", 0, 1), 5);
  EXPECT_AUTOMATION_ERROR(Mid("abc", 1, -1), 5);
}

TEST(ValueTest, RedimReplacesWhateverWasThere) {
  Value out = Value::Array({Value("old"), Value("old"), Value("old")});
  Redim(out, 2);
  ASSERT_EQ(out.array().size(), 2u);
  EXPECT_TRUE(out.array()[0].is_empty());
  Element(out, 1) = Value::Int32(5);
  EXPECT_EQ(out.array()[1], Value::Int32(5));

  Value text("not a list");
  Redim(text, 1);
  EXPECT_EQ(text.kind(), Kind::kArray);
  Redim(text, 0);
  EXPECT_TRUE(text.array().empty());
  EXPECT_AUTOMATION_ERROR(Redim(text, -1), 9);
}

TEST(ValueTest, ElementBounds) {
  Value list, empty;
  Redim(list, 2);
  EXPECT_AUTOMATION_ERROR(Element(list, 2), 9);
  EXPECT_AUTOMATION_ERROR(Element(list, -1), 9);
  EXPECT_AUTOMATION_ERROR(Element(empty, 0), 9);
}

}  // namespace
}  // namespace zebevi
