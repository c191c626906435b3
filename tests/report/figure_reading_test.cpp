// The readers that take the operations' display texts apart: each kind on
// the texts the operations deliver and on texts it must refuse.
#include "report/figure_reading.h"

#include <gtest/gtest.h>

#include <vector>

#include "zebevi/query_input.h"

namespace zebevi::report {
namespace {

using namespace std::chrono;

template <typename T>
struct Case {
  Value input;
  std::optional<T> expected;
};

template <typename T, typename Read>
void ExpectReadings(const std::vector<Case<T>>& cases, Read read) {
  for (const Case<T>& c : cases) {
    const Figure<T> figure = read(c.input);
    SCOPED_TRACE("input " + DisplayText(c.input));
    EXPECT_EQ(figure.display, DisplayText(c.input)) << "the display is the text as delivered";
    EXPECT_EQ(figure.value, c.expected);
  }
}

// clang-format off
TEST(FigureReading, NumbersAndIdentifiers) {
  // "." only groups thousands.
  ExpectReadings<double>({{"3.182.672,57", 3182672.57}, {"-2,5", -2.5},
                          {Value::Double(2677.9), 2677.9}, {"", std::nullopt},
                          {"1.5", std::nullopt}, {"3,182,672.57", std::nullopt}},
                         NumberOf);
  ExpectReadings<std::int64_t>({{"100004", 100004}, {Value::Double(4500021498.0), 4500021498},
                                {Value::Double(2.5), std::nullopt}, {"PI0000001", std::nullopt},
                                {"1.005", std::nullopt}},
                               IdentifierOf);
}

TEST(FigureReading, DatesInTheirOneDayFirstForm) {
  const LocalDays day = local_days(2024y / January / 19);
  ExpectReadings<LocalSeconds>({{"19/01/2024 14:59:46", day + 14h + 59min + 46s},
                                {"29/02/2024 00:00:00", local_days(2024y / February / 29) + 0s},
                                {"30/02/2024 10:00:00", std::nullopt},
                                {"19/01/2024 24:00:00", std::nullopt},
                                {"19/01/2024 14:59", std::nullopt},
                                {"2024-01-19T14:59:46", std::nullopt}},
                               DateTimeOf);
  ExpectReadings<LocalMinutes>({{"16/01/2024 04:29", LocalMinutes(day - days(3) + 4h + 29min)},
                                {"16/01/2024 04:29:00", std::nullopt},
                                {"16/01/2024 4:29", std::nullopt}},
                               MinuteOf);
  ExpectReadings<LocalDays>(
      {{"19/01/2024", day}, {"-9/01/2024", std::nullopt}, {"19/01/2024 00:00", std::nullopt}},
      DateOf);
}

// Durations in whole minutes; the route time is a time of day, never a
// duration read as one.
TEST(FigureReading, DurationsAndTimesOfDay) {
  ExpectReadings<minutes>({{"596523:14", 596523h + 14min}, {"-1:-30", -90min},
                           {"12", std::nullopt}, {"1:60", std::nullopt}, {"1:5x", std::nullopt},
                           {":30", std::nullopt}},
                          DurationOf);
  ExpectReadings<TimeOfDay>({{"20:18", TimeOfDay{20h + 18min}}, {"23:59", TimeOfDay{23h + 59min}},
                             {"68:18", std::nullopt}, {"24:00", std::nullopt},
                             {"2:00", std::nullopt}},
                            TimeOfDayOf);
}

TEST(FigureReading, FlagsAndVerdictsByTheirExactTexts) {
  ExpectReadings<bool>(
      {{"S", true}, {"N", false}, {"s", std::nullopt}, {"Sim", std::nullopt}},
      FlagOf);
  ExpectReadings<Deadline>({{"No Prazo", Deadline::kOnTime}, {"Fora do Prazo", Deadline::kLate},
                            {"Prazo Indeterminado", Deadline::kUndetermined},
                            {"no prazo", std::nullopt}},
                           DeadlineOf);
}
// clang-format on

TEST(FigureReading, VehiclesSplitIntoFleetNumberAndPlate) {
  const std::vector<std::pair<Value, Vehicle>> cases{
      {"1234 - ABC1234", {"1234 - ABC1234", "1234", "ABC1234"}},
      {"BET2C18", {"BET2C18", "BET2C18", std::nullopt}},
      {Value(), {"", std::nullopt, std::nullopt}},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(VehicleOf(input), expected);
}

TEST(QueryInput, TypedTextBecomesTheOperationsInput) {
  EXPECT_EQ(std::tuple(IdentifierInput(""), IdentifierInput("42"), IdentifierInput("99999999999"),
                       IdentifierInput("42a"), TextInput(""), TextInput("0042"), DateInput("")),
            std::tuple(Value(), Value::Int32(42), Value::String("99999999999"),
                       Value::String("42a"), Value(), Value::String("0042"), Value()));
  const std::optional<Value> day_first = DateInput("05/03/2026");
  ASSERT_TRUE(day_first.has_value());
  EXPECT_EQ(day_first, DateInput("2026-03-05"));
  EXPECT_EQ(DisplayText(*day_first), "05/03/2026");
  for (const char* text : {"31/02/2026", "2026-13-01", "5/3/2026", "05-03-2026", "amanhã"}) {
    EXPECT_EQ(DateInput(text), std::nullopt) << text;
  }
}

}  // namespace
}  // namespace zebevi::report
