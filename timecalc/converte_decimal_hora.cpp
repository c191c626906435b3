// mConverte_Decimal_Hora: a duration in seconds as hours and minutes
// ("25:01"). The seconds past the last whole minute are dropped.
#include "frame/evi.h"
#include "frame/trap.h"
#include "zebevi/value_rules.h"

namespace zebevi {

bool EVI::mConverte_Decimal_Hora(Value& invntValor, Value& outvntTempo, Value& outvntMsg_ret) {
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
