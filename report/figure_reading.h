// Reading the texts the operations deliver into typed figures: Brazilian
// numbers, day-first dates, "hh:mm" durations, "S"/"N" flags, whole
// identifiers. Each reader is strict; a text it does not take gives a
// figure without value.
#ifndef ZEBEVI_REPORT_FIGURE_READING_H_
#define ZEBEVI_REPORT_FIGURE_READING_H_

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "zebevi/date.h"
#include "zebevi/figure.h"
#include "zebevi/trip_summary.h"
#include "zebevi/value.h"

namespace zebevi::report {

// A value as a person reads it: Empty, Null and objects as "", everything
// else as its text (numbers with the decimal comma, dates day first).
std::string DisplayText(const Value& value);

// The day-first forms the operations render dates in.
enum class DayFirst {
  kDate,     // "dd/mm/yyyy"
  kMinutes,  // "dd/mm/yyyy hh:mm"
  kSeconds,  // "dd/mm/yyyy hh:mm:ss"
};
// The calendar parts of a text in exactly that form; nullopt for any
// other text or an impossible date.
std::optional<DateParts> ReadDayFirst(std::string_view text, DayFirst form);

// Minutes of an "hh:mm" duration (hours may pass 24; a negative one reads
// "-1:-30", its sign repeated after the colon).
std::optional<std::chrono::minutes> ReadDuration(std::string_view text);

// A number value as itself; a text in the Brazilian form.
NumberFigure NumberOf(const Value& value);
// A whole number value, or a text of digits.
IdentifierFigure IdentifierOf(const Value& value);
DateTimeFigure DateTimeOf(const Value& value);
MinuteFigure MinuteOf(const Value& value);
DateFigure DateOf(const Value& value);
DurationFigure DurationOf(const Value& value);
// "hh:mm" of a day: 00:00 to 23:59.
TimeOfDayFigure TimeOfDayOf(const Value& value);
FlagFigure FlagOf(const Value& value);
Figure<Deadline> DeadlineOf(const Value& value);
Vehicle VehicleOf(const Value& value);

}  // namespace zebevi::report

#endif  // ZEBEVI_REPORT_FIGURE_READING_H_
