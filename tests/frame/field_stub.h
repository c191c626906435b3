// A stand-in database field: an object whose default value is settable.
#ifndef ZEBEVI_TESTS_FRAME_FIELD_STUB_H_
#define ZEBEVI_TESTS_FRAME_FIELD_STUB_H_

#include <memory>
#include <utility>

#include "zebevi/value.h"

namespace zebevi::testing {

class FieldStub : public AutomationObject {
 public:
  explicit FieldStub(Value value) : value_(std::move(value)) {}
  Value DefaultValue() const override { return value_; }
  void set(Value value) { value_ = std::move(value); }

 private:
  Value value_;
};

inline Value Field(Value value) {
  return Value::Object(std::make_shared<FieldStub>(std::move(value)));
}

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_FRAME_FIELD_STUB_H_
