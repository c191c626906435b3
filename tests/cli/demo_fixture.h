// One demo database per test program, made the way a person makes it:
// `zebevi demo --documents 300 --json PATH` through the real executable.
// Its JSON summary names documents, orders and groups with known traits.
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
  Json facts;  // what `zebevi demo --json` printed

  // A fact as command-line text ("7", "4500021498").
  std::string Fact(const char* key) const;
};

// Generated on first use; removed when the program ends.
const DemoDatabase& SharedDemo();

// A copy of the shared demo database in `dir`, changed by the SQL script `sql`.
std::filesystem::path EditedDemo(const TempDir& dir, std::string_view sql);

// Runs zebevi with `args` then "--db" and the shared demo database.
CommandResult RunOnDemo(std::vector<std::string> args);

// `command` under bash, its standard output and error caught.
CommandResult RunShell(const std::string& command);

// Runs zebevi under `script`, so that its standard output and standard
// error are a terminal; both arrive together in `out` (lines end "\r\n").
CommandResult RunInTerminal(const std::vector<std::string>& args,
                            const std::vector<std::string>& environment = {});

// One command line and what it must give. In any text, {demo}, {empty} and
// {missing} stand for a database of that kind and {FACT} for a fact of the
// shared demo. A failure that names no output must print nothing there.
struct CommandCase {
  std::vector<std::string> args;
  int status;
  std::vector<std::string> err;  // fragments of standard error
  std::vector<std::string> out;  // fragments of standard output
  std::string input = {};
};
void ExpectRuns(const std::vector<CommandCase>& runs);

// Block: the lines under the line that starts with `title`, up to the next
// blank line (blank lines right after the title skipped).
std::vector<std::string> Block(const std::string& text, const std::string& title);
std::vector<std::string> Lines(const std::string& text);
// Code points, which is what a terminal shows for the Latin texts here.
std::size_t Columns(std::string_view text);

// Standard output parsed as JSON (a test failure when it is not JSON).
Json OutputJson(const CommandResult& run);

// A parameter of `zebevi call` in the plain form: tagged values unwrapped,
// Empty and Null as null.
Json Plain(const Json& tagged);

// The text a person reads of a version 1 figure ({"value", "display"}), a
// vehicle or a text.
std::string Shown(const Json& shown);

// `shown`, a part of a verb's version 1 JSON, carries `plain`, the call's
// value of the same output: a text as the display, a number as the typed
// value, nothing as an empty display without value.
void ExpectCarries(const Json& shown, const Json& plain, const std::string& name);

// `zebevi call OPERATION` on the shared demo, `params` given as plain JSON.
Json CallOnDemo(const std::string& operation, Json params);

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_CLI_DEMO_FIXTURE_H_
