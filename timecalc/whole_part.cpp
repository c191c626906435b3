#include "timecalc/whole_part.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace zebevi::timecalc {
namespace {

// Quotients from 1 up to 10^9 have at most nine whole digits, so their
// 15-digit text keeps at least six decimals: a fraction from 10^-6 to
// 1 - 10^-6 shows in it, and cannot round up into the whole digits, which
// are then those of the truncated quotient. Closer to a whole number, or
// beyond, only the text tells.
constexpr double kLowest = 1.0;
constexpr double kHighest = 1e9;
constexpr double kClearFraction = 1e-6;

}  // namespace

Value WholePart(double quotient) {
  if (quotient >= kLowest && quotient < kHighest) {
    const double whole = std::trunc(quotient);
    const double fraction = quotient - whole;  // exact
    if (fraction >= kClearFraction && fraction <= 1 - kClearFraction) {
      char digits[16];
      char* end =
          std::to_chars(digits, digits + sizeof digits, static_cast<std::int64_t>(whole)).ptr;
      return Value::String(std::string(digits, static_cast<std::size_t>(end - digits)));
    }
  }
  const std::string text = NumberText(quotient);
  const std::int32_t comma = InStr(text, ",");
  if (comma > 0) return Value::String(Mid(text, 1, comma - 1));
  return Value::Double(quotient);
}

}  // namespace zebevi::timecalc
