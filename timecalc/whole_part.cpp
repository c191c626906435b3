#include "timecalc/whole_part.h"

namespace zebevi::timecalc {

Value WholePart(double quotient) {
  const std::string text = NumberText(quotient);
  const std::int32_t comma = InStr(text, ",");
  if (comma > 0) return Value::String(Mid(text, 1, comma - 1));
  return Value::Double(quotient);
}

}  // namespace zebevi::timecalc
