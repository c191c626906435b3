#include "db/numeric_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace zebevi::db {
namespace {

bool FitsInt32(double d) {
  return d == std::trunc(d) && d >= std::numeric_limits<std::int32_t>::min() &&
         d <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

Value FloatValue(std::string_view text) {
  double d = 0;
  const char* last = text.data() + text.size();
  auto [end, ec] = std::from_chars(text.data(), last, d);
  if (end != last || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
    return Value::String(std::string(text));
  }
  return Value::Double(d);
}

Value WholeOrDouble(std::string_view text) {
  const char* first = text.data();
  const char* last = first + text.size();
  std::int64_t n = 0;
  auto [end, ec] = std::from_chars(first, last, n);
  if (ec == std::errc() && end == last) {
    if (n >= std::numeric_limits<std::int32_t>::min() &&
        n <= std::numeric_limits<std::int32_t>::max()) {
      return Value::Int32(static_cast<std::int32_t>(n));
    }
    return Value::Double(static_cast<double>(n));
  }
  Value real = FloatValue(text);
  if (real.kind() == Kind::kDouble && FitsInt32(real.dbl())) {
    return Value::Int32(static_cast<std::int32_t>(real.dbl()));
  }
  return real;
}

}  // namespace zebevi::db
