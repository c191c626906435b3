// `zebevi demo` through the real executable.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "demo_fixture.h"

namespace zebevi::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool IsSqliteFile(const fs::path& path) { return ReadFile(path).rfind("SQLite format 3", 0) == 0; }

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The document the summary line suggests ("Try: zebevi trip ID ...").
std::string SuggestedDocument(const std::string& line) {
  std::smatch match;
  if (!std::regex_search(line, match, std::regex("Try: zebevi trip ([0-9]+)"))) return "";
  return match[1];
}

TEST(DemoCommand, CreatesTheDatabaseAndSuggestsAnExchangedDocument) {
  TempDir dir;
  const fs::path path = dir / "frete.db";
  const CommandResult run = RunZebevi({"demo", "--documents", "40", path.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << "no progress bar off a terminal: " << run.err;
  ASSERT_EQ(Lines(run.out).size(), 1u) << run.out;
  EXPECT_TRUE(std::regex_search(
      run.out, std::regex("^Created " + path.string() +
                          ": 40 documents, [0-9]+ invoices, [0-9]+ tracking occurrences in "
                          "[0-9]+\\.[0-9] s\\. Try: zebevi trip [0-9]+ --db " +
                          path.string() + "\n$")))
      << run.out;
  EXPECT_TRUE(IsSqliteFile(path));

  // The suggestion works as printed and shows a document of an exchange.
  const CommandResult trip = RunZebevi({"trip", SuggestedDocument(run.out), "--db", path.string()});
  ASSERT_EQ(trip.status, 0) << trip.err;
  EXPECT_TRUE(std::regex_search(trip.out, std::regex("\n  Documento +[0-9]+ / [0-9]+")))
      << trip.out;
}

TEST(DemoCommand, RefusesAnExistingFileUnlessForced) {
  TempDir dir;
  const fs::path path = dir / "demo.db";
  std::ofstream(path) << "keep me";

  const CommandResult refused = RunZebevi({"demo", "--documents", "20", path.string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(refused.out.empty());
  EXPECT_EQ(refused.err,
            "zebevi: " + path.string() + " already exists (add --force to replace it)\n");
  EXPECT_EQ(ReadFile(path), "keep me");

  const CommandResult forced = RunZebevi({"demo", "--documents", "20", "--force", path.string()});
  ASSERT_EQ(forced.status, 0) << forced.err;
  EXPECT_TRUE(IsSqliteFile(path));
  // The new database was generated beside the old one and renamed over it.
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"demo.db"});
}

TEST(DemoCommand, LeavesNothingBehindWhenItCannotPutTheDatabaseInPlace) {
  TempDir dir;
  const fs::path taken = dir / "taken";
  fs::create_directory(taken);
  const CommandResult run = RunZebevi({"demo", "--documents", "20", "--force", taken.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("zebevi: cannot create " + taken.string() + ": ", 0), 0u) << run.err;
  EXPECT_TRUE(fs::is_directory(taken));
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"taken"});

  const CommandResult no_folder =
      RunZebevi({"demo", "--documents", "20", (dir / "no" / "such" / "demo.db").string()});
  EXPECT_EQ(no_folder.status, 1);
  EXPECT_FALSE(fs::exists(dir / "no"));
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
}

TEST(DemoCommand, RefusesABadDocumentCount) {
  TempDir dir;
  for (const char* count : {"3", "abc", "-5"}) {
    const CommandResult run = RunZebevi({"demo", "--documents", count, (dir / "demo.db").string()});
    EXPECT_EQ(run.status, 2) << count;
    EXPECT_FALSE(run.err.empty());
    EXPECT_FALSE(fs::exists(dir / "demo.db"));
  }
}

TEST(DemoCommand, DrawsAProgressBarOnlyOnATerminal) {
  TempDir dir;
  const CommandResult run =
      RunInTerminal({"demo", "--documents", "3000", (dir / "demo.db").string()});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("generating  ["), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("100%  3000/3000"), std::string::npos) << run.out;
  // The bar is erased before the summary line.
  EXPECT_NE(run.out.find("\r\x1b[2KCreated "), std::string::npos) << run.out;
}

}  // namespace
}  // namespace zebevi::testing
