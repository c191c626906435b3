// Construction, raw access and identity of Value; the rules that operate on
// values live in value_ops.cpp, number_text.cpp and value_format.cpp.
#include "zebevi/value.h"

#include <iterator>
#include <utility>

#include "zebevi/error.h"

namespace zebevi {

std::string_view KindName(Kind kind) {
  switch (kind) {
    case Kind::kEmpty:
      return "Empty";
    case Kind::kNull:
      return "Null";
    case Kind::kInt16:
      return "Int16";
    case Kind::kInt32:
      return "Int32";
    case Kind::kDouble:
      return "Double";
    case Kind::kDate:
      return "Date";
    case Kind::kString:
      return "String";
    case Kind::kObject:
      return "Object";
    case Kind::kBoolean:
      return "Boolean";
    case Kind::kArray:
      return "Array";
  }
  return "Unknown";
}

Value AutomationObject::DefaultValue() const { throw Error::TypeMismatch(); }

const Value* AutomationObject::HeldValue() const { return nullptr; }

Value::Value(const char* text) : v_(std::string(text == nullptr ? "" : text)) {}
Value::Value(std::string text) : v_(std::move(text)) {}

Value Value::Null() {
  Value v;
  v.v_ = NullTag{};
  return v;
}

Value Value::Int16(std::int16_t n) {
  Value v;
  v.v_ = n;
  return v;
}

Value Value::Int32(std::int32_t n) {
  Value v;
  v.v_ = n;
  return v;
}

Value Value::Double(double d) {
  Value v;
  v.v_ = d;
  return v;
}

Value Value::Date(double days_since_1899_12_30) {
  Value v;
  v.v_ = DateTag{days_since_1899_12_30};
  return v;
}

Value Value::String(std::string text) { return Value(std::move(text)); }

Value Value::Boolean(bool b) {
  Value v;
  v.v_ = b;
  return v;
}

Value Value::Object(std::shared_ptr<AutomationObject> object) {
  Value v;
  v.v_ = std::move(object);
  return v;
}

Value Value::Array(ValueArray items) {
  Value v;
  v.v_ = std::move(items);
  return v;
}

bool Value::is_number() const {
  const Kind k = kind();
  return k == Kind::kInt16 || k == Kind::kInt32 || k == Kind::kDouble;
}

namespace {

// The alternative T of `v`, or a type mismatch failure.
template <typename T, typename Variant>
auto& Checked(Variant& v) {
  auto* p = std::get_if<T>(&v);
  if (p == nullptr) throw Error::TypeMismatch();
  return *p;
}

}  // namespace

std::int16_t Value::int16() const { return Checked<std::int16_t>(v_); }
std::int32_t Value::int32() const { return Checked<std::int32_t>(v_); }
double Value::dbl() const { return Checked<double>(v_); }
double Value::date() const { return Checked<DateTag>(v_).days; }
bool Value::boolean() const { return Checked<bool>(v_); }
const std::string& Value::string() const { return Checked<std::string>(v_); }
const std::shared_ptr<AutomationObject>& Value::object() const {
  return Checked<std::shared_ptr<AutomationObject>>(v_);
}
const ValueArray& Value::array() const { return Checked<ValueArray>(v_); }
ValueArray& Value::array() { return Checked<ValueArray>(v_); }

bool operator==(const Value& a, const Value& b) { return a.v_ == b.v_; }

Value Plain(const Value& v) {
  if (v.kind() != Kind::kObject) return v;
  const auto& object = v.object();
  if (object == nullptr) throw Error::TypeMismatch();
  Value plain = object->DefaultValue();
  // An object whose default value is again an object has no plain value.
  if (plain.kind() == Kind::kObject) throw Error::TypeMismatch();
  return plain;
}

const Value& PlainRef::OfObject(const Value& v) {
  if (const auto& object = v.object()) {
    const Value* held = object->HeldValue();
    if (held != nullptr && held->kind() != Kind::kObject) return *held;
  }
  return made_.emplace(Plain(v));
}

}  // namespace zebevi
