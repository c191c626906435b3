// The whole part of a positive quotient as the time operations take it: the
// text before the decimal comma of its text form, held as a string ("1" for
// 1.5), or the quotient itself, held as a double, when its text shows no
// fraction. So 23.99999999999999 counts as whole only when its 15-digit text
// says so.
#ifndef ZEBEVI_TIMECALC_WHOLE_PART_H_
#define ZEBEVI_TIMECALC_WHOLE_PART_H_

#include "zebevi/value.h"

namespace zebevi::timecalc {

Value WholePart(double quotient);

}  // namespace zebevi::timecalc

#endif  // ZEBEVI_TIMECALC_WHOLE_PART_H_
