// Values as gtest prints them in failures. Header-only, so the value
// type's own tests use it without the rest of the support library.
#ifndef ZEBEVI_TESTS_SUPPORT_VALUE_PRINTER_H_
#define ZEBEVI_TESTS_SUPPORT_VALUE_PRINTER_H_

#include <ostream>

#include "zebevi/value.h"

namespace zebevi {

// Readable values in test failures: kind and content.
inline void PrintTo(const Value& value, std::ostream* out) {
  const Kind kind = value.kind();
  *out << KindName(kind);
  if (kind == Kind::kString) {
    *out << " \"" << value.string() << '"';
  } else if (kind == Kind::kArray) {
    *out << " [";
    for (std::size_t i = 0; i < value.array().size(); ++i) {
      *out << (i ? ", " : "");
      PrintTo(value.array()[i], out);
    }
    *out << ']';
  } else if (kind == Kind::kBoolean) {
    *out << (value.boolean() ? " true" : " false");
  } else if (kind != Kind::kEmpty && kind != Kind::kNull && kind != Kind::kObject) {
    *out << ' ' << ToDouble(value);
  }
}

}  // namespace zebevi

#endif  // ZEBEVI_TESTS_SUPPORT_VALUE_PRINTER_H_
