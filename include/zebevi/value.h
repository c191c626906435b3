// The tagged value that carries every untyped parameter, result, database
// field and intermediate of the component, and the rules the operations
// apply to it: truth, comparison, concatenation, conversion, formatting.
//
// Regional conventions are fixed, never read from the process locale:
// decimal comma, "." as thousands separator, day/month/year dates with "/",
// times with ":". Texts are UTF-8.
#ifndef ZEBEVI_VALUE_H_
#define ZEBEVI_VALUE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zebevi {

// Kind tags carry the automation variant numbers; they are stable.
enum class Kind : std::uint16_t {
  kEmpty = 0,
  kNull = 1,
  kInt16 = 2,
  kInt32 = 3,
  kDouble = 5,
  kDate = 7,
  kString = 8,
  kObject = 9,
  kBoolean = 11,
  kArray = 0x200C,
};

// The kind's name as the command line spells it: "Empty", "Int32", "Array"...
std::string_view KindName(Kind kind);

class Value;

// A one-dimensional list with lower bound 0.
using ValueArray = std::vector<Value>;

// Anything a Value can refer to by shared reference: a database field, a
// connection. Copying a Value adds a reference; the object is not copied.
class AutomationObject {
 public:
  virtual ~AutomationObject() = default;

  // The plain value the object stands for wherever a plain value is needed
  // (a field gives its current value). Default: a type mismatch failure.
  virtual Value DefaultValue() const;

  // The same value where the object keeps it, so that it can be read in
  // place for as long as the object lives and stays where it is; nullptr
  // (the default) when only DefaultValue makes it. Fails as DefaultValue.
  virtual const Value* HeldValue() const;
};

class Value {
 public:
  Value() = default;        // Empty
  Value(const char* text);  // NOLINT: a String, implicitly
  Value(std::string text);  // NOLINT: a String, implicitly

  static Value Null();
  static Value Int16(std::int16_t n);
  static Value Int32(std::int32_t n);
  static Value Double(double d);
  static Value Date(double days_since_1899_12_30);
  static Value String(std::string text);
  static Value Boolean(bool b);
  static Value Object(std::shared_ptr<AutomationObject> object);
  static Value Array(ValueArray items);

  Kind kind() const {
    // The alternatives of v_ in declaration order.
    static constexpr Kind kKinds[] = {Kind::kEmpty,  Kind::kNull, Kind::kInt16,  Kind::kInt32,
                                      Kind::kDouble, Kind::kDate, Kind::kString, Kind::kBoolean,
                                      Kind::kObject, Kind::kArray};
    static_assert(sizeof kKinds / sizeof kKinds[0] == std::variant_size_v<decltype(v_)>);
    return kKinds[v_.index()];
  }
  bool is_empty() const { return kind() == Kind::kEmpty; }
  bool is_null() const { return kind() == Kind::kNull; }
  bool is_number() const;  // Int16, Int32 or Double

  // Raw access. REQUIRES: the matching kind (checked: a type mismatch
  // failure otherwise).
  std::int16_t int16() const;
  std::int32_t int32() const;
  double dbl() const;
  double date() const;
  bool boolean() const;
  const std::string& string() const;
  const std::shared_ptr<AutomationObject>& object() const;
  const ValueArray& array() const;
  ValueArray& array();

  // Same kind and same content (objects: same reference). For tests and
  // containers; the operations use the comparison rules below.
  friend bool operator==(const Value& a, const Value& b);

 private:
  struct NullTag {
    bool operator==(const NullTag&) const = default;
  };
  struct DateTag {
    double days;
    bool operator==(const DateTag&) const = default;
  };
  std::variant<std::monostate, NullTag, std::int16_t, std::int32_t, double, DateTag, std::string,
               bool, std::shared_ptr<AutomationObject>, ValueArray>
      v_;
};

// A Value holding an object stands for the object's default value; every
// other value stands for itself.
Value Plain(const Value& v);

// The plain value of `v` without a copy of a value that is its own: only an
// object's default value is made, and kept here. REQUIRES: `v` outlives it.
class PlainRef {
 public:
  explicit PlainRef(const Value& v) : plain_(v.kind() == Kind::kObject ? OfObject(v) : v) {}
  PlainRef(const PlainRef&) = delete;
  PlainRef& operator=(const PlainRef&) = delete;
  const Value& operator*() const { return plain_; }

 private:
  // The object's held value when it has one, else its default value made.
  const Value& OfObject(const Value& v);

  std::optional<Value> made_;
  const Value& plain_;
};

// Truth test: true only for Boolean true or a non-zero number.
bool IsTrue(const Value& v);

// Comparison with a typed constant. Against a number: Empty counts as 0,
// Boolean as -1/0, a String is read as a number (type mismatch when it
// cannot be). Against a text: Empty counts as "", a String compares by code
// unit. Either way Null gives Null, so neither equality nor inequality holds.
// Each returns a Boolean, or Null.
Value Eq(const Value& v, double number);
Value Ne(const Value& v, double number);
Value Gt(const Value& v, double number);
Value Eq(const Value& v, std::string_view text);
Value Ne(const Value& v, std::string_view text);
inline Value Eq(const Value& v, int n) { return Eq(v, static_cast<double>(n)); }
inline Value Ne(const Value& v, int n) { return Ne(v, static_cast<double>(n)); }
inline Value Gt(const Value& v, int n) { return Gt(v, static_cast<double>(n)); }
inline Value Eq(const Value& v, const char* t) { return Eq(v, std::string_view(t)); }
inline Value Ne(const Value& v, const char* t) { return Ne(v, std::string_view(t)); }

// Three-valued logic: And is false if any operand is false, else Null if any
// is Null, else true. Not swaps true and false and keeps Null.
Value And(std::initializer_list<Value> operands);
Value Not(const Value& v);

// Concatenation (&): Null and Empty add nothing, except Null & Null is Null;
// numbers add their text form.
Value operator&(const Value& a, const Value& b);

// Number to text: integers as digits; doubles with at most 15 significant
// digits, a decimal comma, no trailing zeros.
std::string NumberText(double d);

// Number reading: blanks around, optional sign, digits with "." between
// groups of three, optional decimal comma and digits. Nothing else reads.
std::optional<double> ReadNumber(std::string_view text);

// Numeric content: a number, Empty, or a String that reads as a number.
bool IsNumeric(const Value& v);

// Conversions. To Int32 rounds half to even; out of range is an overflow,
// Null is an invalid use of Null, unreadable text a type mismatch.
std::int32_t ToInt32(const Value& v);
double ToDouble(const Value& v);
// Strings unchanged, Empty "", numbers their text form, dates
// "dd/mm/yyyy[ hh:mm:ss]", Booleans "Verdadeiro"/"Falso"; Null fails.
std::string ToString(const Value& v);

// 32-bit counter arithmetic; leaving the range is an overflow failure.
std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedSub(std::int32_t a, std::int32_t b);
std::int32_t CheckedMul(std::int32_t a, std::int32_t b);

// Text positions count from 1. InStr gives 0 when absent.
std::int32_t InStr(std::string_view text, std::string_view part);
std::string Mid(std::string_view text, std::int32_t start, std::int32_t length);

// Format pictures: "dd/mm/yyyy hh:mm:ss", "dd/mm/yyyy hh:mm", "dd/mm/yyyy",
// "hh:mm" (any letter case; "mm" after an hour field is minutes),
// "#,##0.00" and "00". Date pictures take a Date, a number of days, or a
// text that reads as a date or time (day/month/year); the time of day is
// rounded to the nearest second. An empty text stays empty; Null and a text
// that reads as nothing the picture takes come back unchanged.
Value Format(const Value& v, std::string_view picture);

// List outputs: `out` becomes a new array of `count` Empty elements
// (bounds 0 to count - 1). A negative count is a subscript failure.
void Redim(Value& out, std::int32_t count);
// Element `index` of the array held by `v`; subscript out of range when `v`
// holds no array or the index lies outside its bounds.
Value& Element(Value& v, std::int32_t index);

}  // namespace zebevi

#endif  // ZEBEVI_VALUE_H_
