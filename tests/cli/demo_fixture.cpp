#include "demo_fixture.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zebevi::testing {

std::string DemoDatabase::Fact(const char* key) const {
  const Json& value = facts.at(key);
  return value.is_string() ? value.get<std::string>() : value.dump();
}

const DemoDatabase& SharedDemo() {
  static const TempDir folder;
  static const DemoDatabase demo = [] {
    DemoDatabase made;
    made.path = folder / "demo.db";
    const CommandResult run = RunZebevi(
        {"demo", "--documents", std::to_string(kDemoTestDocuments), "--json", made.path.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    made.facts = Json::parse(run.out, nullptr, false);
    EXPECT_TRUE(made.facts.is_object()) << run.out;
    return made;
  }();
  return demo;
}

std::filesystem::path EditedDemo(const TempDir& dir, std::string_view sql) {
  const std::filesystem::path copy = dir / "demo.db";
  std::filesystem::copy_file(SharedDemo().path, copy);
  RunSqlScript(copy, sql);
  return copy;
}

CommandResult RunOnDemo(std::vector<std::string> args) {
  args.push_back("--db");
  args.push_back(SharedDemo().path.string());
  return RunZebevi(args);
}

CommandResult RunInTerminal(const std::vector<std::string>& args,
                            const std::vector<std::string>& environment) {
  const char* exe = std::getenv("ZEBEVI_EXE");
  if (exe == nullptr) {
    ADD_FAILURE() << "ZEBEVI_EXE is not set";
    return {};
  }
  std::string inner = "env";
  for (const std::string& assignment : environment) inner += " " + ShellQuote(assignment);
  inner += " " + ShellQuote(exe);
  for (const std::string& arg : args) inner += " " + ShellQuote(arg);
  const TempDir dir;
  const std::string out = (dir / "out").string();
  const int raw = std::system(
      ("script -qec " + ShellQuote(inner) + " /dev/null </dev/null >" + ShellQuote(out) + " 2>&1")
          .c_str());
  CommandResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream in(out, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  result.out = text.str();
  return result;
}

Json OutputJson(const CommandResult& run) {
  Json json = Json::parse(run.out, nullptr, false);
  EXPECT_FALSE(json.is_discarded()) << "not JSON: " << run.out << run.err;
  return json;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Json Plain(const Json& tagged) {
  if (!tagged.contains("value")) return nullptr;
  const Json& value = tagged["value"];
  if (!value.is_array()) return value;
  Json items = Json::array();
  for (const Json& item : value) items.push_back(Plain(item));
  return items;
}

std::string Shown(const Json& shown) {
  return shown.is_object() ? shown["display"].get<std::string>() : shown.get<std::string>();
}

void ExpectCarries(const Json& shown, const Json& plain, const std::string& name) {
  SCOPED_TRACE(name);
  if (plain.is_null()) {
    EXPECT_EQ(Shown(shown), "");
    if (shown.contains("value")) {
      EXPECT_EQ(shown["value"], nullptr);
    }
  } else if (plain.is_string()) {
    EXPECT_EQ(Shown(shown), plain.get<std::string>());
  } else {
    EXPECT_EQ(shown["value"], plain);
    EXPECT_FALSE(Shown(shown).empty());
  }
}

std::vector<std::string> Block(const std::string& text, const std::string& title) {
  const std::vector<std::string> lines = Lines(text);
  std::vector<std::string> block;
  auto line = std::find_if(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.rfind(title, 0) == 0; });
  EXPECT_NE(line, lines.end()) << "no block " << title << " in\n" << text;
  if (line == lines.end()) return block;
  ++line;
  while (line != lines.end() && line->empty()) ++line;
  for (; line != lines.end() && !line->empty(); ++line) block.push_back(*line);
  return block;
}

}  // namespace zebevi::testing
