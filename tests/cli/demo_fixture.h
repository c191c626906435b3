// One demo database per test program, made the way a person makes it:
// `zebevi demo --documents 300 --json PATH`. Its JSON summary names
// documents, orders and groups with known traits.
#ifndef ZEBEVI_TESTS_CLI_DEMO_FIXTURE_H_
#define ZEBEVI_TESTS_CLI_DEMO_FIXTURE_H_

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_support.h"

namespace zebevi::testing {

using Json = nlohmann::ordered_json;

inline constexpr std::int64_t kDemoTestDocuments = 300;

inline Json OutputJson(const CommandResult& run) {
  Json json = Json::parse(run.out, nullptr, false);
  EXPECT_FALSE(json.is_discarded()) << "not JSON: " << run.out << run.err;
  return json;
}

struct DemoDatabase {
  std::filesystem::path path;
  Json facts;  // what `zebevi demo --json` printed
  // As command-line text ("7", "4500021498").
  std::string Fact(const char* key) const {
    const Json& value = facts.at(key);
    return value.is_string() ? value.get<std::string>() : value.dump();
  }
};

inline const DemoDatabase& SharedDemo() {
  static const TempDir folder;
  static const DemoDatabase demo{
      folder / "demo.db",
      OutputJson(RunZebevi({"demo", "--documents", std::to_string(kDemoTestDocuments), "--json",
                            (folder / "demo.db").string()}))};
  return demo;
}

// A copy of the shared demo in `dir`, changed by the SQL script `sql`.
inline std::filesystem::path EditedDemo(const TempDir& dir, std::string_view sql) {
  const std::filesystem::path copy = dir / "demo.db";
  std::filesystem::copy_file(SharedDemo().path, copy);
  RunSqlScript(copy, sql);
  return copy;
}

// `command` under bash, `input` on its standard input.
inline CommandResult RunShell(const std::string& command, std::string_view input = {}) {
  const TempDir dir;
  std::ofstream(dir / "in", std::ios::binary) << input;
  const int raw = std::system(
      ("bash -c " + ShellQuote(command) + " <" + ShellQuote((dir / "in").string()) + " >" +
       ShellQuote((dir / "out").string()) + " 2>" + ShellQuote((dir / "err").string()))
          .c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWhole(dir / "out"), ReadWhole(dir / "err")};
}

// zebevi under `script`, so that its output is a terminal; standard output
// and error arrive together in `out` (lines end "\r\n").
inline CommandResult RunInTerminal(const std::vector<std::string>& args,
                                   const std::vector<std::string>& environment = {}) {
  std::string inner = "env";
  for (const std::string& assignment : environment) inner += " " + ShellQuote(assignment);
  inner += " " + ShellQuote(std::getenv("ZEBEVI_EXE"));
  for (const std::string& arg : args) inner += " " + ShellQuote(arg);
  return RunShell("script -qec " + ShellQuote(inner) + " /dev/null </dev/null 2>&1");
}

// A command line, the words after `zebevi` as bash reads them, and what it
// must give. In it and in the texts, {demo}, {empty} and {missing} stand for
// a database of that kind and {FACT} for a fact of the shared demo. A
// failure that names no output must print nothing there.
struct CommandCase {
  std::string line;
  int status;
  std::vector<std::string> err = {};  // fragments of standard error
  std::vector<std::string> out = {};  // fragments of standard output
  std::string input = {};
};

inline void ExpectRuns(const std::vector<CommandCase>& runs) {
  const TempDir dir;
  const std::string empty = (dir / "empty.db").string();
  std::ofstream(empty).flush();
  const auto fill = [&](std::string text) {
    const std::regex name("\\{([a-z_]+)\\}");
    for (std::smatch m; std::regex_search(text, m, name);) {
      const std::string key = m[1];
      const std::string value = key == "demo"      ? SharedDemo().path.string()
                                : key == "empty"   ? empty
                                : key == "missing" ? (dir / "missing.db").string()
                                                   : SharedDemo().Fact(key.c_str());
      text.replace(static_cast<std::size_t>(m.position(0)), m.length(0), value);
    }
    return text;
  };
  for (const CommandCase& r : runs) {
    SCOPED_TRACE(r.line.substr(0, 100));
    const CommandResult run =
        RunShell(ShellQuote(std::getenv("ZEBEVI_EXE")) + " " + fill(r.line), r.input);
    EXPECT_EQ(run.status, r.status) << run.err.substr(0, 300);
    for (const std::string& part : r.err) {
      EXPECT_NE(run.err.find(fill(part)), std::string::npos) << part << "\nin: " << run.err;
    }
    for (const std::string& part : r.out) {
      EXPECT_NE(run.out.find(fill(part)), std::string::npos) << part << "\nin: " << run.out;
    }
    EXPECT_TRUE(!r.out.empty() || r.status == 0 || run.out.empty()) << "printed " << run.out;
  }
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Code points, which is what a terminal shows for the Latin texts here.
inline std::size_t Columns(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The lines under the line that starts with `title`, up to the next blank
// line (blank lines right after the title skipped).
inline std::vector<std::string> Block(const std::string& text, const std::string& title) {
  const std::vector<std::string> lines = Lines(text);
  auto line = std::find_if(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.rfind(title, 0) == 0; });
  EXPECT_NE(line, lines.end()) << "no block " << title << " in\n" << text;
  if (line != lines.end()) ++line;
  while (line != lines.end() && line->empty()) ++line;
  return {line, std::find(line, lines.end(), std::string())};
}

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_CLI_DEMO_FIXTURE_H_
