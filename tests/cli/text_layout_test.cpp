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
  EXPECT_EQ(DisplayWidth("Destinatário"), 12u);
  EXPECT_EQ(DisplayWidth("Ocorrências"), 11u);
  EXPECT_EQ(DisplayWidth("Ac\xcc\xa7u\xcc\x81"
                         "car"),
            6u);  // c and u with combining marks
  EXPECT_EQ(DisplayWidth("日本"), 4u);
  EXPECT_EQ(DisplayWidth("█▏─│●"), 5u);
  EXPECT_EQ(DisplayWidth("\x1b[1mNo Prazo\x1b[0m"), 8u);
  EXPECT_EQ(DisplayWidth("a\xff"
                         "b"),
            3u);
  EXPECT_EQ(DisplayWidth("\xc3"), 1u);  // a sequence cut short
  EXPECT_EQ(DisplayWidth(""), 0u);
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
}

TEST(RenderFields, PadsLabelsAndEndsNoLineInBlanks) {
  std::ostringstream out;
  RenderFields(out, {{"Prazo", "No Prazo"}, {"Destinatário", "Química"}, {"Carreta", ""}},
               TextStyle(false));
  EXPECT_EQ(out.str(),
            "  Prazo         No Prazo\n"
            "  Destinatário  Química\n"
            "  Carreta\n");
}

TEST(Bar, DrawsEighthsOfAColumn) {
  std::string full;
  for (int k = 0; k < 40; ++k) full += "█";
  EXPECT_EQ(Bar(40, 40, 40), full);
  EXPECT_EQ(Bar(10, 40, 4), "█");
  EXPECT_EQ(Bar(3, 16, 2), "▍");      // 3 eighths
  EXPECT_EQ(Bar(21, 16, 2), "██");    // capped at the width
  EXPECT_EQ(Bar(11, 16, 2), "█▍");    // 11/16 of 16 eighths
  EXPECT_EQ(Bar(1, 10000, 40), "▏");  // a positive value is never invisible
  EXPECT_EQ(Bar(0, 40, 40), "");
  EXPECT_EQ(Bar(-5, 40, 40), "");
  EXPECT_EQ(Bar(5, 0, 40), "");
}

TEST(CycleTimes, WriteHoursAndMinutes) {
  EXPECT_EQ(HoursMinutes(2164), "36:04");
  EXPECT_EQ(HoursMinutes(5), "0:05");
  EXPECT_EQ(HoursMinutes(-90), "-1:30");
  EXPECT_EQ(HtmlEscape("R&D's"), "R&amp;D&#39;s");
}

TEST(ProgressBar, ShowsShareAndCount) {
  EXPECT_EQ(ProgressBar::Line("generating", 50, 200, 8), "generating  [██░░░░░░]  25%  50/200");
  EXPECT_EQ(ProgressBar::Line("generating", 200, 200, 4), "generating  [████]  100%  200/200");
  // (Off a terminal it draws nothing: the demo command's tests see that.)
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
