// The texts the rules produce and read must not follow the process locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale>
#include <string>
#include <vector>

#include "zebevi/value.h"
#include "zebevi/value_rules.h"

namespace zebevi {
namespace {

// A number punctuation no real locale uses, so any leak shows.
class OddPunctuation : public std::numpunct<char> {
 protected:
  char do_decimal_point() const override { return '?'; }
  char do_thousands_sep() const override { return '~'; }
  std::string do_grouping() const override { return "\1"; }
};

std::vector<std::string> Outputs() {
  const auto rules = CreateValueRules();
  const Value date = Value::Date(37320.5);
  return {NumberText(1234.5),
          std::to_string(*ReadNumber("1.234,5") == 1234.5),
          ToString(date),
          Format(Value::Double(1234567.891), "#,##0.00").string(),
          Format(date, "dd/mm/yyyy hh:mm:ss").string(),
          rules->SqlNumber(Value::Double(1234.5)),
          rules->SqlText(Value::Double(1.5)),
          rules->SqlDate(date)};
}

class LocaleTest : public ::testing::Test {
 protected:
  void TearDown() override {
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
    unsetenv("LC_NUMERIC");
  }
};

TEST_F(LocaleTest, OutputsIgnoreTheProcessLocale) {
  const std::vector<std::string> expected = {
      "1234,5", "1",     "05/03/2002 12:00:00",  "1.234.567,89", "05/03/2002 12:00:00",
      "1234.5", "'1,5'", "'2002-03-05 12:00:00'"};
  ASSERT_EQ(Outputs(), expected);

  // Whatever decimal-point locales the host has; at least the UTF-8 C one.
  for (const char* name : {"pt_BR.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) == nullptr) continue;
    setenv("LC_NUMERIC", name, 1);
    EXPECT_EQ(Outputs(), expected) << name;
  }
  std::locale::global(std::locale(std::locale::classic(), new OddPunctuation));
  EXPECT_EQ(Outputs(), expected) << "odd punctuation";
}

}  // namespace
}  // namespace zebevi
