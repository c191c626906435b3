// `zebevi demo` through the real executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "demo_fixture.h"

namespace zebevi::testing {
namespace {

namespace fs = std::filesystem;

bool IsSqliteFile(const fs::path& path) { return ReadWhole(path).rfind("SQLite format 3", 0) == 0; }

// The document the summary line suggests ("Try: zebevi trip ID ...").
std::string SuggestedDocument(const std::string& line) {
  std::smatch match;
  std::regex_search(line, match, std::regex("Try: zebevi trip ([0-9]+)"));
  return match[1].str();
}

TEST(DemoCommand, CreatesTheDatabaseAndSuggestsAnExchangedDocument) {
  TempDir dir;
  const std::string path = (dir / "frete.db").string();
  const CommandResult run = RunZebevi({"demo", "--documents", "40", path});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "") << "no progress bar off a terminal";
  EXPECT_TRUE(std::regex_match(
      run.out, std::regex("Created " + path +
                          ": 40 documents, [0-9]+ invoices, [0-9]+ tracking occurrences in "
                          "[0-9]+\\.[0-9] s\\. Try: zebevi trip [0-9]+ --db " +
                          path + "\n")))
      << run.out;
  EXPECT_TRUE(IsSqliteFile(path));
  // The suggestion works as printed and shows a document of an exchange.
  const CommandResult trip = RunZebevi({"trip", SuggestedDocument(run.out), "--db", path});
  EXPECT_TRUE(std::regex_search(trip.out, std::regex("\n  Documento +[0-9]+ / [0-9]+")))
      << trip.out << trip.err;
}

TEST(DemoCommand, ReplacesAFileOnlyWhenForcedAndLeavesNothingBehind) {
  TempDir dir;
  const std::string at = dir.path().string() + "/";
  std::ofstream(dir / "demo.db") << "keep me";
  fs::create_directory(dir / "taken");
  ExpectRuns({
      {"demo --documents 20 " + at + "demo.db",
       1,
       {"zebevi: " + at + "demo.db already exists (add --force to replace it)\n"}},
      {"demo --documents 20 --force " + at + "taken",
       1,
       {"zebevi: cannot create " + at + "taken: "}},
      {"demo --documents 20 " + at + "no/such/demo.db", 1, {"zebevi: "}},
      {"demo --documents 3 " + at + "new.db", 2, {"not in range 10 to"}},
      {"demo --documents -5 " + at + "new.db", 2, {"not in range 10 to"}},
  });
  EXPECT_EQ(ReadWhole(dir / "demo.db"), "keep me");
  ASSERT_EQ(RunZebevi({"demo", "--documents", "20", "--force", at + "demo.db"}).status, 0);
  EXPECT_TRUE(IsSqliteFile(dir / "demo.db"));
  // The new database was generated beside the old one and renamed over it.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"demo.db", "taken"}));
}

TEST(DemoCommand, WritesTheDefaultDatabaseThatTheVerbsRead) {
  TempDir dir;
  const std::vector<std::string> xdg{"XDG_DATA_HOME=" + (dir / "data").string(), "ZEBEVI_DB="};
  const CommandResult missing = RunZebevi({"flags", "2"}, {}, xdg);
  EXPECT_EQ(missing.status, 3);
  EXPECT_EQ(missing.err, "zebevi: no database at " + (dir / "data/zebevi/demo.db").string() +
                             " (create it with: zebevi demo, or give --db)\n");

  const CommandResult made = RunZebevi({"demo", "--documents", "20"}, {}, xdg);
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_TRUE(IsSqliteFile(dir / "data/zebevi/demo.db"));
  EXPECT_EQ(made.out.find("--db"), std::string::npos) << "the default needs no --db: " << made.out;
  EXPECT_EQ(RunZebevi({"trip", SuggestedDocument(made.out)}, {}, xdg).status, 0);

  // ZEBEVI_DB names the default for both sides, with or without "sqlite:".
  const std::string own = (dir / "own.db").string();
  ASSERT_EQ(RunZebevi({"demo", "--documents", "20"}, {}, {"ZEBEVI_DB=sqlite:" + own}).status, 0);
  EXPECT_TRUE(IsSqliteFile(own));
  EXPECT_EQ(RunZebevi({"flags", "2"}, {}, {"ZEBEVI_DB=" + own}).status, 0);
  EXPECT_EQ(RunZebevi({"flags", "2"}, {}, {"ZEBEVI_DB=sqlite:" + own}).status, 0);

  // Under the home folder it says so without naming it.
  const CommandResult home =
      RunZebevi({"demo", "--documents", "20"}, {},
                {"HOME=" + dir.path().string(), "XDG_DATA_HOME=", "ZEBEVI_DB="});
  EXPECT_EQ(home.out.rfind("Created ~/.local/share/zebevi/demo.db: 20 documents", 0), 0u)
      << home.out << home.err;
}

TEST(DemoCommand, DrawsAProgressBarOnlyOnATerminal) {
  TempDir dir;
  const CommandResult run =
      RunInTerminal({"demo", "--documents", "3000", (dir / "demo.db").string()});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("generating  ["), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("100%  3000/3000"), std::string::npos) << run.out;
  // The bar is erased before the summary line.
  EXPECT_NE(run.out.find("\r\x1b[2KCreated "), std::string::npos) << run.out;
}

}  // namespace
}  // namespace zebevi::testing
