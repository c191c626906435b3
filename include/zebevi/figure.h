// A figure of an operation's answer as the typed layer hands it out: the
// text the operation delivered, exactly, and the value read from it. A text
// that does not read as its kind keeps its display and has no value; nothing
// is guessed.
#ifndef ZEBEVI_FIGURE_H_
#define ZEBEVI_FIGURE_H_

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace zebevi::report {

template <typename T>
struct Figure {
  std::string display;     // as the operation delivered it; "" when it delivered nothing
  std::optional<T> value;  // nullopt when `display` does not read as a T

  bool operator==(const Figure&) const = default;
};

// Local date-times, as the operation shows them (no time zone), to the
// precision it shows them.
using LocalSeconds = std::chrono::local_seconds;
using LocalMinutes = std::chrono::local_time<std::chrono::minutes>;
using LocalDays = std::chrono::local_days;

// "3.182.672,57" is 3182672.57, "3363,328" is 3363.328.
using NumberFigure = Figure<double>;
// Whole numbers: identifiers, document and invoice numbers.
using IdentifierFigure = Figure<std::int64_t>;
// "19/01/2024 14:59:46".
using DateTimeFigure = Figure<LocalSeconds>;
// "16/01/2024 04:29".
using MinuteFigure = Figure<LocalMinutes>;
// "19/01/2024".
using DateFigure = Figure<LocalDays>;
// "99:33" is 5973 minutes; hours may pass 24, a leading "-" counts.
using DurationFigure = Figure<std::chrono::minutes>;
// A time of day to the minute, 00:00 to 23:59: never a whole duration.
struct TimeOfDay {
  std::chrono::minutes since_midnight{0};
  bool operator==(const TimeOfDay&) const = default;
};
// "20:18".
using TimeOfDayFigure = Figure<TimeOfDay>;
// "S" is true, "N" is false.
using FlagFigure = Figure<bool>;

}  // namespace zebevi::report

#endif  // ZEBEVI_FIGURE_H_
