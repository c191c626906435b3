// One demo database per test program, made the way a person makes it:
// `zebevi demo --documents 300 --json PATH`. Its JSON summary names
// documents, orders and groups with known traits.
#ifndef ZEBEVI_TESTS_CLI_DEMO_FIXTURE_H_
#define ZEBEVI_TESTS_CLI_DEMO_FIXTURE_H_

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_support.h"

namespace zebevi::testing {

using Json = nlohmann::ordered_json;

inline constexpr std::int64_t kDemoTestDocuments = 300;

struct DemoDatabase {
  std::filesystem::path path;
  Json facts;                               // what `zebevi demo --json` printed
  std::string Fact(const char* key) const;  // as command-line text ("7", "4500021498")
};
const DemoDatabase& SharedDemo();  // made on first use
// A copy of the shared demo in `dir`, changed by the SQL script `sql`.
std::filesystem::path EditedDemo(const TempDir& dir, std::string_view sql);
// `command` under bash, `input` on its standard input.
CommandResult RunShell(const std::string& command, std::string_view input = {});
// zebevi under `script`, so that its output is a terminal; standard output
// and error arrive together in `out` (lines end "\r\n").
CommandResult RunInTerminal(const std::vector<std::string>& args,
                            const std::vector<std::string>& environment = {});

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
void ExpectRuns(const std::vector<CommandCase>& runs);

// The lines under the line that starts with `title`, up to the next blank
// line (blank lines right after the title skipped).
std::vector<std::string> Block(const std::string& text, const std::string& title);
std::vector<std::string> Lines(const std::string& text);
// Code points, which is what a terminal shows for the Latin texts here.
std::size_t Columns(std::string_view text);
Json OutputJson(const CommandResult& run);  // a test failure when not JSON

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_CLI_DEMO_FIXTURE_H_
