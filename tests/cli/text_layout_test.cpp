// The layout pieces of the friendly verbs.
#include "cli/text_layout.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/html_report.h"
#include "cli/progress_bar.h"
#include "cli/trip_text.h"

namespace zebevi::cli {
namespace {

TEST(DisplayWidth, CountsWhatATerminalShows) {
  for (const auto& [text, width] : std::vector<std::pair<std::string, std::size_t>>{
           {"Destinatário", 12},
           {"Ac\xcc\xa7u\xcc\x81", 3},  // c and u with combining marks
           {"日本", 4},
           {"█▏─│●", 5},
           {"\x1b[1mNo Prazo\x1b[0m", 8},
           {"a\xff"
            "b",
            3},
           {"\xc3", 1}}) {  // a sequence cut short
    EXPECT_EQ(DisplayWidth(text), width) << text;
  }
}

TEST(Table, KeepsItsAlignmentWithColouredCells) {
  Table table;
  table.AddColumn("Código", Align::kRight);
  table.AddColumn("Liberado");
  const TextStyle colour(true);
  table.AddRow({"114", colour.Good("S")});
  std::ostringstream out;
  table.Render(out, colour);
  EXPECT_EQ(out.str(),
            "  \x1b[1mCódigo\x1b[0m  \x1b[1mLiberado\x1b[0m\n"
            "  \x1b[2m──────\x1b[0m  \x1b[2m────────\x1b[0m\n"
            "     114  \x1b[32mS\x1b[0m\n");
  std::ostringstream fields;
  RenderFields(fields, {{"Prazo", "No Prazo"}, {"Destinatário", "Química"}, {"Carreta", ""}},
               TextStyle(false));
  EXPECT_EQ(fields.str(), "  Prazo         No Prazo\n  Destinatário  Química\n  Carreta\n");
}

TEST(Bar, DrawsEighthsOfAColumn) {
  EXPECT_EQ(Bar(10, 40, 4), "█");
  EXPECT_EQ(Bar(3, 16, 2), "▍");      // 3 eighths
  EXPECT_EQ(Bar(21, 16, 2), "██");    // capped at the width
  EXPECT_EQ(Bar(11, 16, 2), "█▍");    // 11/16 of 16 eighths
  EXPECT_EQ(Bar(1, 10000, 40), "▏");  // a positive value is never invisible
  EXPECT_EQ(Bar(-5, 40, 40), "");
  EXPECT_EQ(Bar(5, 0, 40), "");
  EXPECT_EQ(HoursMinutes(2164), "36:04");
  EXPECT_EQ(HoursMinutes(-90), "-1:30");
  EXPECT_EQ(HtmlEscape("R&D's"), "R&amp;D&#39;s");
}

TEST(ProgressBar, ShowsShareAndCount) {
  EXPECT_EQ(ProgressBar::Line("generating", 50, 200, 8), "generating  [██░░░░░░]  25%  50/200");
  std::ostringstream shown;
  {
    ProgressBar bar(shown, true, "x");
    bar.Update(2, 200);
    bar.Update(3, 200);  // still 1%: not redrawn
    bar.Update(200, 200);
  }
  EXPECT_EQ(shown.str(), "\r" + ProgressBar::Line("x", 2, 200, 30) + "\r" +
                             ProgressBar::Line("x", 200, 200, 30) + "\r\x1b[2K");
}

}  // namespace
}  // namespace zebevi::cli
