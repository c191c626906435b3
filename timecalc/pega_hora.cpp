// mPega_Hora: whole hours of a duration in seconds, and the seconds left.
#include "frame/evi.h"
#include "frame/trap.h"
#include "timecalc/whole_part.h"
#include "zebevi/value_rules.h"

namespace zebevi {

Value EVI::mPega_Hora(Value& invntValor, Value& outvntHora, Value& outvntResto,
                      Value& outvntMsg_ret) {
  Value result;
  frame::Trap trap(frame::kTrackingText, outvntMsg_ret);
  // Each step keeps its label beside it.
  // clang-format off
  trap.Run(
      [&](frame::Step& at) {
        at(6020); result = Value::Boolean(false);
        // The hour test works on the rounded integer, so 3599.5 counts as 3600.
        at(6030); const std::int32_t n = ToInt32(Rules().AsNumber(invntValor));
        at(6040);
        if (n > 3600) {
          at(6050); const double q = ToDouble(invntValor) / 3600.0;
          at(6060); outvntHora = timecalc::WholePart(q);
          at(6070); outvntResto = Value::Double(ToDouble(invntValor) -
                                                CheckedMul(ToInt32(outvntHora), 3600));
        } else {
          at(6090);
          if (ToInt32(Rules().AsNumber(invntValor)) == 3600) {
            // Exactly one hour leaves the remainder as the caller passed it.
            at(6100); outvntHora = "01";
          } else {
            at(6120); outvntHora = "00";
            at(6130); outvntResto = invntValor;
          }
        }
        at(6150); result = Value::Boolean(true);
      },
      [&] { result = Value::Boolean(false); });
  // clang-format on
  return result;
}

}  // namespace zebevi
