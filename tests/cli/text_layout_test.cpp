// The layout pieces of the friendly verbs, and reading what a person types.
#include "cli/text_layout.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/console.h"
#include "cli/default_database.h"
#include "cli/html_report.h"
#include "cli/json_value.h"
#include "cli/progress_bar.h"
#include "cli/trip_text.h"
#include "cli/verb_support.h"
#include "support/test_support.h"
#include "zebevi/date.h"

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

TEST(Table, AlignsColumnsByDisplayWidth) {
  Table table;
  table.AddColumn("Cidade");
  table.AddColumn("Km", Align::kRight);
  table.AddColumn("Obs");
  table.AddRow({"São Paulo", "12", "ok"});
  table.AddRow({"Goiânia", "1234"});
  std::ostringstream out;
  table.Render(out, TextStyle(false));
  EXPECT_EQ(out.str(),
            "  Cidade       Km  Obs\n"
            "  ─────────  ────  ───\n"
            "  São Paulo    12  ok\n"
            "  Goiânia    1234  \n");
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
}

TEST(HtmlEscape, EscapesMarkupAndKeepsUtf8) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">R&D's São</a>"),
            "&lt;a href=&quot;x&quot;&gt;R&amp;D&#39;s São&lt;/a&gt;");
}

TEST(ProgressBar, ShowsShareAndCount) {
  EXPECT_EQ(ProgressBar::Line("generating", 50, 200, 8), "generating  [██░░░░░░]  25%  50/200");
  EXPECT_EQ(ProgressBar::Line("generating", 200, 200, 4), "generating  [████]  100%  200/200");
  std::ostringstream quiet;
  {
    ProgressBar bar(quiet, false, "generating");
    bar.Update(1, 2);
  }
  EXPECT_EQ(quiet.str(), "");
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

TEST(TypedValues, ADateThatDoesNotReadIsAUsageError) {
  EXPECT_EQ(DateValue("05/03/2026"), Value::Date(DaysFromParts({2026, 3, 5})));
  EXPECT_EQ(DateValue(""), Value());
  EXPECT_THROW(DateValue("31/02/2026"), UsageError);
}

TEST(DefaultDatabase, FollowsZebeviDbThenXdgThenHome) {
  std::ostringstream out;
  Console console{.out = out, .err = out};
  EXPECT_THROW(DefaultDatabasePath(console), UsageError);
  console.home = "/home/ana";
  EXPECT_EQ(DefaultDatabasePath(console), "/home/ana/.local/share/zebevi/demo.db");
  console.xdg_data_home = "/data";
  EXPECT_EQ(DefaultDatabasePath(console), "/data/zebevi/demo.db");
  console.zebevi_db = "sqlite:/srv/frete.db";
  EXPECT_EQ(DefaultDatabasePath(console), "/srv/frete.db");

  EXPECT_TRUE(IsConnectionString("sqlite:/a.db"));
  EXPECT_TRUE(IsConnectionString("Provider=SQLite;Data Source=/a.db"));
  EXPECT_TRUE(IsConnectionString("postgresql://host/db"));
  EXPECT_FALSE(IsConnectionString("/var/lib/demo.db"));
  EXPECT_FALSE(IsConnectionString("demo.db"));
}

TEST(DefaultDatabase, OpensAPathAsASqliteFile) {
  testing::TempDir dir;
  std::ostringstream out;
  const Console console{.out = out, .err = out};
  const std::string path = (dir / "frete.db").string();
  EXPECT_THROW(DatabaseConnection(path, console), NoDatabase);
  testing::RunSqlScript(path, "CREATE TABLE t (x);");
  EXPECT_EQ(DatabaseConnection(path, console), "sqlite:" + path);
  EXPECT_EQ(DatabaseConnection("Provider=SQLite;Data Source=" + path, console),
            "Provider=SQLite;Data Source=" + path);
}

}  // namespace
}  // namespace zebevi::cli
