// The rules the operations apply to values: truth, comparison, logic,
// concatenation, conversion, counter arithmetic, text positions and lists.
#include <charconv>
#include <cmath>
#include <functional>

#include "frame/date_text.h"
#include "zebevi/date.h"
#include "zebevi/error.h"
#include "zebevi/value.h"

namespace zebevi {
namespace {

constexpr std::string_view kTrueText = "Verdadeiro";
constexpr std::string_view kFalseText = "Falso";

std::string IntegerText(std::int32_t n) {
  char buffer[16];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, n).ptr);
}

// `plain` as a number: Empty 0, Boolean -1/0, a Date its day count, a String
// read as a number; nullopt for Null. Other kinds are a type mismatch.
std::optional<double> NumberOf(const Value& plain) {
  switch (plain.kind()) {
    case Kind::kEmpty:
      return 0.0;
    case Kind::kNull:
      return std::nullopt;
    case Kind::kInt16:
      return plain.int16();
    case Kind::kInt32:
      return plain.int32();
    case Kind::kDouble:
      return plain.dbl();
    case Kind::kDate:
      return plain.date();
    case Kind::kBoolean:
      return plain.boolean() ? -1.0 : 0.0;
    case Kind::kString:
      if (auto n = ReadNumber(plain.string())) return n;
      throw Error::TypeMismatch();
    case Kind::kObject:
    case Kind::kArray:
      break;
  }
  throw Error::TypeMismatch();
}

double RequiredNumber(const Value& v) {
  const std::optional<double> n = NumberOf(*PlainRef(v));
  if (!n) throw Error::InvalidUseOfNull();
  return *n;
}

// Text of a plain value that is not Null.
std::string TextOf(const Value& plain) {
  switch (plain.kind()) {
    case Kind::kEmpty:
      return {};
    case Kind::kInt16:
      return IntegerText(plain.int16());
    case Kind::kInt32:
      return IntegerText(plain.int32());
    case Kind::kDouble:
      return NumberText(plain.dbl());
    case Kind::kBoolean:
      return std::string(plain.boolean() ? kTrueText : kFalseText);
    case Kind::kString:
      return plain.string();
    case Kind::kDate: {
      // A time alone sits on day zero and shows without a date.
      const DateParts parts = PartsFromDays(plain.date());
      const bool day_zero = parts.year == 1899 && parts.month == 12 && parts.day == 30;
      const bool has_time = parts.hour != 0 || parts.minute != 0 || parts.second != 0;
      return day_zero && has_time ? TimeText(parts) : DateText(parts);
    }
    case Kind::kNull:
      throw Error::InvalidUseOfNull();
    case Kind::kObject:
    case Kind::kArray:
      break;
  }
  throw Error::TypeMismatch();
}

template <typename Compare>
Value CompareNumber(const Value& v, double number, Compare compare) {
  const std::optional<double> n = NumberOf(*PlainRef(v));
  if (!n) return Value::Null();
  return Value::Boolean(compare(*n, number));
}

template <typename Compare>
Value CompareText(const Value& v, std::string_view text, Compare compare) {
  const PlainRef plain_ref(v);
  const Value& plain = *plain_ref;
  if (plain.is_null()) return Value::Null();
  return Value::Boolean(compare(std::string_view(TextOf(plain)), text));
}

}  // namespace

bool IsTrue(const Value& v) {
  const PlainRef plain_ref(v);
  const Value& plain = *plain_ref;
  switch (plain.kind()) {
    case Kind::kBoolean:
      return plain.boolean();
    case Kind::kInt16:
    case Kind::kInt32:
    case Kind::kDouble:
    case Kind::kDate:
      return *NumberOf(plain) != 0;
    default:
      return false;
  }
}

Value Eq(const Value& v, double number) { return CompareNumber(v, number, std::equal_to<>()); }
Value Ne(const Value& v, double number) { return CompareNumber(v, number, std::not_equal_to<>()); }
Value Gt(const Value& v, double number) { return CompareNumber(v, number, std::greater<>()); }
Value Eq(const Value& v, std::string_view text) { return CompareText(v, text, std::equal_to<>()); }
Value Ne(const Value& v, std::string_view text) {
  return CompareText(v, text, std::not_equal_to<>());
}

Value And(std::initializer_list<Value> operands) {
  bool any_false = false;
  bool any_null = false;
  for (const Value& operand : operands) {
    const PlainRef plain_ref(operand);
    const Value& plain = *plain_ref;
    if (plain.is_null()) {
      any_null = true;
    } else if (!IsTrue(plain)) {
      any_false = true;
    }
  }
  if (any_false) return Value::Boolean(false);
  if (any_null) return Value::Null();
  return Value::Boolean(true);
}

Value Not(const Value& v) {
  const PlainRef plain_ref(v);
  const Value& plain = *plain_ref;
  if (plain.is_null()) return plain;
  return Value::Boolean(!IsTrue(plain));
}

Value operator&(const Value& a, const Value& b) {
  const PlainRef left_ref(a);
  const Value& left = *left_ref;
  const PlainRef right_ref(b);
  const Value& right = *right_ref;
  if (left.is_null() && right.is_null()) return Value::Null();
  std::string text = left.is_null() ? std::string() : TextOf(left);
  if (!right.is_null()) text += TextOf(right);
  return Value::String(std::move(text));
}

bool IsNumeric(const Value& v) {
  const PlainRef plain_ref(v);
  const Value& plain = *plain_ref;
  switch (plain.kind()) {
    case Kind::kEmpty:
    case Kind::kInt16:
    case Kind::kInt32:
    case Kind::kDouble:
    case Kind::kDate:
    case Kind::kBoolean:
      return true;
    case Kind::kString:
      return ReadNumber(plain.string()).has_value();
    default:
      return false;
  }
}

std::int32_t ToInt32(const Value& v) {
  const double d = RequiredNumber(v);
  if (std::isnan(d)) throw Error::Overflow();
  // Halves go to the even neighbour.
  double rounded = std::floor(d);
  const double rest = d - rounded;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(rounded, 2.0) != 0)) rounded += 1;
  if (rounded < -2147483648.0 || rounded > 2147483647.0) throw Error::Overflow();
  return static_cast<std::int32_t>(rounded);
}

double ToDouble(const Value& v) { return RequiredNumber(v); }

std::string ToString(const Value& v) { return TextOf(*PlainRef(v)); }

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  std::int32_t result;
  if (__builtin_add_overflow(a, b, &result)) throw Error::Overflow();
  return result;
}

std::int32_t CheckedSub(std::int32_t a, std::int32_t b) {
  std::int32_t result;
  if (__builtin_sub_overflow(a, b, &result)) throw Error::Overflow();
  return result;
}

std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
  std::int32_t result;
  if (__builtin_mul_overflow(a, b, &result)) throw Error::Overflow();
  return result;
}

std::int32_t InStr(std::string_view text, std::string_view part) {
  const std::size_t pos = text.find(part);
  if (pos == std::string_view::npos) return 0;
  return static_cast<std::int32_t>(pos + 1);
}

std::string Mid(std::string_view text, std::int32_t start, std::int32_t length) {
  if (start < 1 || length < 0) throw Error(5, "Invalid procedure call or argument");
  const std::size_t first = static_cast<std::size_t>(start) - 1;
  if (first >= text.size()) return {};
  return std::string(text.substr(first, static_cast<std::size_t>(length)));
}

void Redim(Value& out, std::int32_t count) {
  if (count < 0) throw Error::SubscriptOutOfRange();
  out = Value::Array(ValueArray(static_cast<std::size_t>(count)));
}

Value& Element(Value& v, std::int32_t index) {
  if (v.kind() != Kind::kArray) throw Error::SubscriptOutOfRange();
  ValueArray& items = v.array();
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) {
    throw Error::SubscriptOutOfRange();
  }
  return items[static_cast<std::size_t>(index)];
}

}  // namespace zebevi
