#include "frame/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "frame/blanks.h"
#include "zebevi/value.h"

namespace zebevi {
namespace {

constexpr int kSignificantDigits = 15;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Appends the digits at the start of `text` to `out`; returns their count.
std::size_t TakeDigits(std::string_view text, std::string& out) {
  std::size_t n = 0;
  while (n < text.size() && IsDigit(text[n])) ++n;
  out.append(text.substr(0, n));
  return n;
}

// A text of at most 15 digits after an optional sign, the form whole
// numbers mostly take, read without the general route: every such number is
// exactly a double, so it is the one that route reads too.
std::optional<double> ReadPlainWhole(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty() || text.size() > static_cast<std::size_t>(kSignificantDigits)) {
    return std::nullopt;
  }
  std::int64_t n = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  const double d = static_cast<double>(n);
  return negative ? -d : d;
}

}  // namespace

std::string NumberText(double d, const Regional& regional) {
  if (d == 0) return "0";  // negative zero included
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::general,
                                    kSignificantDigits);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == '.') c = regional.decimal;
    if (c == 'e') c = 'E';
  }
  return text;
}

std::optional<double> ReadNumber(std::string_view text, const Regional& regional) {
  text = TrimBlanks(text);
  if (std::optional<double> whole = ReadPlainWhole(text)) return whole;
  // The number rebuilt in the neutral form that from_chars reads.
  std::string neutral;
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    if (text[pos] == '-') neutral.push_back('-');
    ++pos;
  }
  std::size_t digits = TakeDigits(text.substr(pos), neutral);
  pos += digits;
  while (digits > 0 && pos < text.size() && text[pos] == regional.thousands) {
    const std::size_t group = TakeDigits(text.substr(pos + 1), neutral);
    if (group != 3) return std::nullopt;
    pos += 1 + group;
  }
  if (pos < text.size() && text[pos] == regional.decimal) {
    neutral.push_back('.');
    const std::size_t fraction = TakeDigits(text.substr(pos + 1), neutral);
    digits += fraction;
    pos += 1 + fraction;
  }
  if (digits == 0 || pos != text.size()) return std::nullopt;
  double value = 0;
  const auto result = std::from_chars(neutral.data(), neutral.data() + neutral.size(), value,
                                      std::chars_format::fixed);
  if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

RoundedDigits RoundDecimal(double d, int decimals) {
  RoundedDigits rounded;
  if (d == 0) {
    rounded.whole = "0";
    rounded.fraction.assign(decimals, '0');
    return rounded;
  }
  // "d.dddddddddddddde+XX": fifteen significant digits and the exponent.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(d),
                                    std::chars_format::scientific, kSignificantDigits - 1);
  std::string_view text(buffer, result.ptr - buffer);
  const std::size_t e = text.find('e');
  std::string significant = std::string(text.substr(0, 1)) + std::string(text.substr(2, e - 2));
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                  exponent);

  // `point` digits of `digits` stand before the decimal point.
  int point = exponent + 1;
  const int keep = point + decimals;
  std::string digits;
  if (keep >= static_cast<int>(significant.size())) {
    digits = significant + std::string(keep - significant.size(), '0');
  } else if (keep >= 0) {
    digits = significant.substr(0, keep);
    if (significant[keep] >= '5') {
      int i = keep - 1;
      while (i >= 0 && digits[i] == '9') digits[i--] = '0';
      if (i >= 0) {
        ++digits[i];
      } else {
        digits.insert(digits.begin(), '1');
        ++point;
      }
    }
  }
  // Below the last kept place: everything rounds to zero.
  if (static_cast<int>(digits.size()) < decimals + std::max(point, 0)) {
    digits = std::string(decimals + std::max(point, 0) - digits.size(), '0') + digits;
    point = std::max(point, 0);
  }
  if (point <= 0) {
    rounded.whole = "0";
    rounded.fraction = digits;
  } else {
    rounded.whole = digits.substr(0, point);
    rounded.fraction = digits.substr(point);
  }
  rounded.negative = d < 0 && digits.find_first_not_of('0') != std::string::npos;
  return rounded;
}

std::string NumberText(double d) { return NumberText(d, kRegional); }

std::optional<double> ReadNumber(std::string_view text) { return ReadNumber(text, kRegional); }

}  // namespace zebevi
