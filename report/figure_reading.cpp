#include "report/figure_reading.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace zebevi::report {
namespace {

using std::chrono::minutes;

template <typename Int>
std::optional<Int> Digits(std::string_view text) {
  Int n = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return n;
}

// Exactly `width` decimal digits.
std::optional<int> Field(std::string_view text, std::size_t at, std::size_t width) {
  const std::string_view part = text.substr(at, width);
  if (part.size() != width || part.front() == '-' || part.front() == '+') return {};
  return Digits<int>(part);
}

LocalDays Day(const DateParts& parts) {
  return LocalDays(std::chrono::year(parts.year) / parts.month / parts.day);
}

// A figure of `value`'s text and what `read` makes of it.
template <typename T, typename Read>
Figure<T> FigureOf(const Value& value, Read read) {
  Figure<T> figure;
  figure.display = DisplayText(value);
  figure.value = read(std::string_view(figure.display));
  return figure;
}

}  // namespace

std::string DisplayText(const Value& value) {
  switch (value.kind()) {
    case Kind::kEmpty:
    case Kind::kNull:
    case Kind::kObject:
    case Kind::kArray:
      return "";
    default:
      return ToString(value);
  }
}

std::optional<DateParts> ReadDayFirst(std::string_view text, DayFirst form) {
  const std::size_t size = form == DayFirst::kDate ? 10 : form == DayFirst::kMinutes ? 16 : 19;
  if (text.size() != size || text[2] != '/' || text[5] != '/') return {};
  DateParts parts;
  const auto day = Field(text, 0, 2);
  const auto month = Field(text, 3, 2);
  const auto year = Field(text, 6, 4);
  if (!day || !month || !year) return {};
  parts.day = *day;
  parts.month = *month;
  parts.year = *year;
  if (form != DayFirst::kDate) {
    if (text[10] != ' ' || text[13] != ':') return {};
    const auto hour = Field(text, 11, 2);
    const auto minute = Field(text, 14, 2);
    if (!hour || !minute) return {};
    parts.hour = *hour;
    parts.minute = *minute;
  }
  if (form == DayFirst::kSeconds) {
    const auto second = Field(text, 17, 2);
    if (text[16] != ':' || !second) return {};
    parts.second = *second;
  }
  if (!IsValidParts(parts)) return {};
  return parts;
}

std::optional<minutes> ReadDuration(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return {};
  std::string_view minutes_text = text.substr(colon + 1);
  // A negative remainder repeats its sign after the colon ("-1:-30").
  if (negative && !minutes_text.empty() && minutes_text.front() == '-') {
    minutes_text.remove_prefix(1);
  }
  const auto hours = Digits<std::int64_t>(text.substr(0, colon));
  const auto rest = Digits<std::int64_t>(minutes_text);
  if (!hours || !rest || *hours < 0 || *rest < 0 || *rest >= 60) return {};
  const minutes total(*hours * 60 + *rest);
  return negative ? -total : total;
}

NumberFigure NumberOf(const Value& value) {
  if (value.is_number()) return {DisplayText(value), ToDouble(value)};
  return FigureOf<double>(value, [](std::string_view text) { return ReadNumber(text); });
}

IdentifierFigure IdentifierOf(const Value& value) {
  if (value.is_number()) {
    const double n = ToDouble(value);
    // Integral and well inside the 64-bit range.
    const bool whole = std::isfinite(n) && std::trunc(n) == n && std::fabs(n) < 9.0e15;
    return {DisplayText(value),
            whole ? std::optional<std::int64_t>(static_cast<std::int64_t>(n)) : std::nullopt};
  }
  return FigureOf<std::int64_t>(value,
                                [](std::string_view text) { return Digits<std::int64_t>(text); });
}

DateTimeFigure DateTimeOf(const Value& value) {
  return FigureOf<LocalSeconds>(value, [](std::string_view text) -> std::optional<LocalSeconds> {
    const auto parts = ReadDayFirst(text, DayFirst::kSeconds);
    if (!parts) return {};
    return Day(*parts) + std::chrono::hours(parts->hour) + minutes(parts->minute) +
           std::chrono::seconds(parts->second);
  });
}

MinuteFigure MinuteOf(const Value& value) {
  return FigureOf<LocalMinutes>(value, [](std::string_view text) -> std::optional<LocalMinutes> {
    const auto parts = ReadDayFirst(text, DayFirst::kMinutes);
    if (!parts) return {};
    return Day(*parts) + std::chrono::hours(parts->hour) + minutes(parts->minute);
  });
}

DateFigure DateOf(const Value& value) {
  return FigureOf<LocalDays>(value, [](std::string_view text) -> std::optional<LocalDays> {
    const auto parts = ReadDayFirst(text, DayFirst::kDate);
    if (!parts) return {};
    return Day(*parts);
  });
}

DurationFigure DurationOf(const Value& value) { return FigureOf<minutes>(value, ReadDuration); }

TimeOfDayFigure TimeOfDayOf(const Value& value) {
  return FigureOf<TimeOfDay>(value, [](std::string_view text) -> std::optional<TimeOfDay> {
    if (text.size() != 5 || text[2] != ':') return {};
    const auto hour = Field(text, 0, 2);
    const auto minute = Field(text, 3, 2);
    if (!hour || !minute || *hour > 23 || *minute > 59) return {};
    return TimeOfDay{minutes(*hour * 60 + *minute)};
  });
}

FlagFigure FlagOf(const Value& value) {
  return FigureOf<bool>(value, [](std::string_view text) -> std::optional<bool> {
    if (text == "S") return true;
    if (text == "N") return false;
    return {};
  });
}

Figure<Deadline> DeadlineOf(const Value& value) {
  return FigureOf<Deadline>(value, [](std::string_view text) -> std::optional<Deadline> {
    if (text == "No Prazo") return Deadline::kOnTime;
    if (text == "Fora do Prazo") return Deadline::kLate;
    if (text == "Prazo Indeterminado") return Deadline::kUndetermined;
    return {};
  });
}

Vehicle VehicleOf(const Value& value) {
  Vehicle vehicle;
  vehicle.display = DisplayText(value);
  if (vehicle.display.empty()) return vehicle;
  // The plate follows the last " - ": a plate never holds one.
  const std::size_t join = vehicle.display.rfind(" - ");
  if (join == std::string::npos) {
    vehicle.fleet_number = vehicle.display;
  } else {
    vehicle.fleet_number = vehicle.display.substr(0, join);
    vehicle.plate = vehicle.display.substr(join + 3);
  }
  return vehicle;
}

}  // namespace zebevi::report
