// mConverte_Decimal_Hora: a duration in seconds as hours and minutes
// ("25:01"). The seconds past the last whole minute are dropped.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/value_rules.h"

namespace zebevi {
namespace {

// Whole seconds from zero up to the counter's limit, the form the cycle
// measures give, answered from the number: at least two hour digits, a
// colon, two minute digits. The steps give the same text by a longer road
// (their parts are texts, read back as numbers and formatted twice); a
// time of day reads back as itself under "HH:MM", and 24 hours or more
// stay as they are. Any other input takes the steps.
std::optional<std::string> WholeSecondsText(const Value& v) {
  double seconds = 0;
  switch (v.kind()) {
    case Kind::kInt16:
      seconds = v.int16();
      break;
    case Kind::kInt32:
      seconds = v.int32();
      break;
    case Kind::kDouble:
      seconds = v.dbl();
      break;
    default:
      return std::nullopt;
  }
  constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
  if (!(seconds >= 0 && seconds <= kLimit) || seconds != std::trunc(seconds)) return std::nullopt;
  const auto whole = static_cast<std::int32_t>(seconds);
  const std::int32_t hours = whole / 3600;
  const std::int32_t minutes = whole % 3600 / 60;
  char text[16];  // "596523:14" at the limit
  char* end = text;
  if (hours < 10) *end++ = '0';
  end = std::to_chars(end, text + sizeof text, hours).ptr;
  *end++ = ':';
  *end++ = static_cast<char>('0' + minutes / 10);
  *end++ = static_cast<char>('0' + minutes % 10);
  return std::string(text, end);
}

}  // namespace

bool EVI::mConverte_Decimal_Hora(Value& invntValor, Value& outvntTempo, Value& outvntMsg_ret) {
  if (std::optional<std::string> text = WholeSecondsText(invntValor)) {
    outvntTempo = Value::String(std::move(*text));
    return true;
  }
  bool result = false;
  Value hours;
  Value minutes;
  double remainder = 0.0;
  frame::Trap trap(frame::kTrackingText, outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(5870); result = false;
        at(5880);
        if (IsTrue(Ne(Rules().AsNumber(invntValor), 0))) {
          // The remainder travels as a reference to a double: whatever the
          // callee stores there becomes a double, and an untouched one stays.
          at(5890); Value rest = Value::Double(remainder);
          if (!IsTrue(Self().mPega_Hora(invntValor, hours, rest, outvntMsg_ret))) return;
          remainder = ToDouble(rest);
          at(5900); Value seconds = Value::Double(remainder);
          rest = Value::Double(remainder);
          if (!IsTrue(Self().mPega_Minuto(seconds, minutes, rest, outvntMsg_ret))) return;
          remainder = ToDouble(rest);
        }
        at(5920); hours = Format(hours, "00");
        at(5930); minutes = Format(minutes, "00");
        // "00" gives texts, and joining two texts is joining their characters.
        at(5940); outvntTempo = Format(hours.kind() == Kind::kString && minutes.kind() == Kind::kString
                                           ? Value::String(hours.string() + ':' + minutes.string())
                                           : hours & ":" & minutes,
                                       "HH:MM");
        at(5950); result = true;
      },
      [&] { result = false; });
  // clang-format on
  return result;
}

}  // namespace zebevi
