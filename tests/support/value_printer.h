// Values as gtest prints them in failures. Header-only, so the value
// type's own tests use it without the rest of the support library.
#ifndef ZEBEVI_TESTS_SUPPORT_VALUE_PRINTER_H_
#define ZEBEVI_TESTS_SUPPORT_VALUE_PRINTER_H_

#include <ostream>

#include "zebevi/value.h"

namespace zebevi {

// Readable values in test failures: kind and content.
inline void PrintTo(const Value& value, std::ostream* out) {
  *out << KindName(value.kind());
  switch (value.kind()) {
    case Kind::kEmpty:
    case Kind::kNull:
    case Kind::kObject:
      return;
    case Kind::kString:
      *out << " \"" << value.string() << '"';
      return;
    case Kind::kArray:
      *out << " [";
      for (std::size_t i = 0; i < value.array().size(); ++i) {
        *out << (i ? ", " : "");
        PrintTo(value.array()[i], out);
      }
      *out << ']';
      return;
    case Kind::kBoolean:
      *out << (value.boolean() ? " true" : " false");
      return;
    default:
      *out << ' ' << ToDouble(value);
  }
}

}  // namespace zebevi

#endif  // ZEBEVI_TESTS_SUPPORT_VALUE_PRINTER_H_
