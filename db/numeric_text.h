// Values from numbers as servers write them in text: the drivers that read
// a numeric column as text map it alike.
#ifndef ZEBEVI_DB_NUMERIC_TEXT_H_
#define ZEBEVI_DB_NUMERIC_TEXT_H_

#include <string_view>

#include "zebevi/value.h"

namespace zebevi::db {

// A float ("1.5", "1e+300", "NaN", "-Infinity") as a Double; any other text
// stays a String.
Value FloatValue(std::string_view text);

// An integer or decimal: Int32 when the value is a whole number within its
// range, else Double; text that is no number stays a String.
Value WholeOrDouble(std::string_view text);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_NUMERIC_TEXT_H_
