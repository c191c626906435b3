#include "zebevi/value.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "frame/field_stub.h"
#include "support/test_support.h"

namespace zebevi {
namespace {

using testing::Field;
using testing::FieldStub;

const Value kTrue = Value::Boolean(true);
const Value kFalse = Value::Boolean(false);
const Value kNull = Value::Null();

// Each row: what an expression gave, what it must give; the row's number on failure.
void ExpectRows(const std::vector<std::pair<Value, Value>>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].first, rows[i].second) << i;
}

TEST(ValueTest, KindsTypeCodesAndFieldValues) {
  EXPECT_FALSE(Value::Date(1).is_number());
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
  EXPECT_AUTOMATION_ERROR(Plain(Value::Object(std::make_shared<AutomationObject>())), 13);
  EXPECT_AUTOMATION_ERROR(Plain(Value::Object(nullptr)), 13);
}

TEST(ValueTest, TruthAndComparisons) {
  for (const Value& v : {Value::Int32(-3), Value::Double(0.1), Field(kTrue)}) {
    EXPECT_TRUE(IsTrue(v)) << ::testing::PrintToString(v);
  }
  for (const Value& v : {Value::Int16(0), kNull, Value("1")}) {
    EXPECT_FALSE(IsTrue(v)) << ::testing::PrintToString(v);
  }

  // clang-format off
  ExpectRows({{Eq(Value(" 1,0 "), 1), kTrue},     {Eq(Value(), 1), kFalse},
              {Eq(Value(), 0), kTrue},            {Eq(kNull, 1), kNull},
              {Ne(Value::Int16(114), 114), kFalse}, {Gt(Value::Double(-0.5), 0), kFalse},
              {Eq(Value(), ""), kTrue},           {Eq(Value("s"), "S"), kFalse},
              {Eq(Value("S "), "S"), kFalse},     {Eq(Value::Double(1.5), "1,5"), kTrue},
              {Eq(Field(kNull), ""), kNull}});
  // clang-format on
  EXPECT_AUTOMATION_ERROR(Eq(Value("abc"), 1), 13);
  EXPECT_AUTOMATION_ERROR(Eq(Value(""), 0), 13);
  EXPECT_AUTOMATION_ERROR(Gt(Value::Array({}), 0), 13);
}

TEST(ValueTest, ThreeValuedLogicAndConcatenation) {
  // clang-format off
  ExpectRows({{And({kTrue, kTrue}), kTrue},            {And({kTrue, kNull}), kNull},
              {And({kNull, kFalse}), kFalse},          {And({kFalse, kNull}), kFalse},
              {And({Value::Int32(2), kTrue}), kTrue},  {And({Value(), kTrue}), kFalse},
              {Not(kTrue), kFalse}, {Not(kFalse), kTrue}, {Not(kNull), kNull}});
  // clang-format on
  // A Null field against "" joined with true comparisons never takes a branch.
  EXPECT_FALSE(IsTrue(And({Eq(Field(kNull), ""), Eq(Value("S"), "S")})));

  ExpectRows({{kNull & Value("x"), Value("x")},
              {kNull & kNull, kNull},
              {Value::Int16(5) & Value(":") & Value::Double(0.25), Value("5:0,25")},
              {kTrue & Value::Date(2.5), Value("Verdadeiro01/01/1900 12:00:00")}});
  EXPECT_AUTOMATION_ERROR(Value::Array({}) & Value("x"), 13);
}

TEST(ValueTest, ToInt32RoundsHalfToEvenWithinRange) {
  // clang-format off
  const std::pair<Value, std::int32_t> cases[] = {
      {Value::Double(2.5), 2}, {Value::Double(3.5), 4}, {Value::Double(-2.5), -2},
      {Value("3600,5"), 3600}, {Value::Double(2.5000001), 3}, {kTrue, -1},
      {Value::Double(-2147483648.5), -2147483647 - 1}};
  for (const auto& [v, n] : cases) EXPECT_EQ(ToInt32(v), n) << ::testing::PrintToString(v);
  const std::pair<Value, int> failures[] = {
      {Value::Double(2147483647.5), 6}, {Value::Double(std::numeric_limits<double>::quiet_NaN()), 6},
      {kNull, 94}, {Value("abc"), 13}};
  // clang-format on
  for (const auto& [v, number] : failures) EXPECT_AUTOMATION_ERROR(ToInt32(v), number);
}

TEST(ValueTest, ConversionsCheckedArithmeticAndTextPositions) {
  EXPECT_EQ(ToDouble(Value()), 0);
  EXPECT_EQ(ToDouble(Value("1.234,5")), 1234.5);
  EXPECT_EQ(ToDouble(Value::Date(3.75)), 3.75);
  EXPECT_AUTOMATION_ERROR(ToDouble(kNull), 94);
  // clang-format off
  const std::pair<Value, const char*> texts[] = {
      {Value(), ""}, {kFalse, "Falso"}, {Value::Date(37320), "05/03/2002"},
      {Value::Date(0.5), "12:00:00"}, {Value::Date(-1.5), "29/12/1899 12:00:00"}};
  // clang-format on
  for (const auto& [v, text] : texts) EXPECT_EQ(ToString(v), text);
  EXPECT_AUTOMATION_ERROR(ToString(kNull), 94);
  EXPECT_AUTOMATION_ERROR(ToString(Value::Array({})), 13);

  EXPECT_EQ(CheckedMul(596523, 3600), 2147482800);
  EXPECT_AUTOMATION_ERROR(CheckedAdd(2147483647, 1), 6);
  EXPECT_AUTOMATION_ERROR(CheckedMul(596524, 3600), 6);

  EXPECT_EQ(std::tuple(InStr("23,9997", ","), InStr("abcabc", "ca"), InStr("abc", "")),
            std::tuple(3, 3, 1));
  EXPECT_EQ(std::tuple(Mid("abc", 2, 10), Mid("abc", 4, 1), Mid("abc", 1, 0)),
            std::tuple("bc", "", ""));
  EXPECT_AUTOMATION_ERROR(Mid("abc", 0, 1), 5);
  EXPECT_AUTOMATION_ERROR(Mid("abc", 1, -1), 5);
}

TEST(ValueTest, RedimReplacesWhateverWasThereAndElementsAreBounded) {
  Value out = Value::Array({Value("old"), Value("old"), Value("old")});
  Redim(out, 2);
  ASSERT_EQ(out.array().size(), 2u);
  EXPECT_TRUE(out.array()[0].is_empty());
  EXPECT_AUTOMATION_ERROR(Element(out, 2), 9);
  EXPECT_AUTOMATION_ERROR(Element(out, -1), 9);

  Value text("not a list");
  Redim(text, 0);
  EXPECT_TRUE(text.array().empty());
  EXPECT_AUTOMATION_ERROR(Redim(text, -1), 9);
}

}  // namespace
}  // namespace zebevi
