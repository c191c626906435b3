// Numbers as text under explicit regional conventions; the public
// NumberText and ReadNumber apply the fixed regional table.
#ifndef ZEBEVI_FRAME_NUMBER_TEXT_H_
#define ZEBEVI_FRAME_NUMBER_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

#include "frame/regional.h"

namespace zebevi {

// At most 15 significant digits, no trailing zeros, no grouping; an exponent
// ("1E+20") only when the 15-digit form needs one.
std::string NumberText(double d, const Regional& regional);

// Blanks around, optional sign, digit groups joined by the thousands
// separator (every group after the first of exactly three digits), optional
// decimal separator and digits. Nothing else reads.
std::optional<double> ReadNumber(std::string_view text, const Regional& regional);

// The decimal digits of |d| rounded to `decimals` places, halves away from
// zero, taken from its 15-significant-digit form: whole digits (at least
// "0") and exactly `decimals` fraction digits. REQUIRES: d finite.
struct RoundedDigits {
  bool negative = false;  // false when the rounded value is zero
  std::string whole;
  std::string fraction;
};
RoundedDigits RoundDecimal(double d, int decimals);

}  // namespace zebevi

#endif  // ZEBEVI_FRAME_NUMBER_TEXT_H_
