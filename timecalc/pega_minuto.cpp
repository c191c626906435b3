// mPega_Minuto: whole minutes of a duration in seconds, and the seconds left.
#include "frame/evi.h"
#include "frame/trap.h"
#include "timecalc/whole_part.h"
#include "zebevi/value_rules.h"

namespace zebevi {

Value EVI::mPega_Minuto(Value& invntValor, Value& outvntMinuto, Value& outvntResto,
                        Value& outvntMsg_ret) {
  Value result;
  frame::Trap trap(frame::kTrackingText, outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(6260); result = Value::Boolean(false);
        // Unlike the hours, the minutes test the plain double: 60.0001 divides.
        at(6270);
        if (ToDouble(invntValor) > 60.0) {
          at(6280); const double q = ToDouble(invntValor) / 60.0;
          at(6290); outvntMinuto = timecalc::WholePart(q);
          at(6300); outvntResto = Value::Double(ToDouble(invntValor) -
                                                CheckedMul(ToInt32(outvntMinuto), 60));
        } else {
          at(6320); const std::int32_t n = ToInt32(Rules().AsNumber(invntValor));
          at(6330);
          if (n == 60) {
            at(6340); outvntMinuto = "01";
          } else {
            at(6360); outvntMinuto = "00";
            at(6370); outvntResto = invntValor;
          }
        }
        at(6390); result = Value::Boolean(true);
      },
      [&] { result = Value::Boolean(false); });
  // clang-format on
  return result;
}

}  // namespace zebevi
