#include "support/test_support.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zebevi::testing {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("zebevi-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void RunSqlScript(const std::filesystem::path& path, std::string_view sql) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open(path.c_str(), &db);
  ASSERT_EQ(rc, SQLITE_OK) << sqlite3_errstr(rc);
  char* message = nullptr;
  rc = sqlite3_exec(db, std::string(sql).c_str(), nullptr, nullptr, &message);
  std::string text = message ? message : "";
  sqlite3_free(message);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK) << text;
}

std::string SqliteConnection(const std::filesystem::path& path) {
  return "sqlite:" + path.string();
}

int OpenDescriptors(const std::filesystem::path& path) {
  int count = 0;
  const auto target = std::filesystem::canonical(path);
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (std::filesystem::read_symlink(entry.path(), ec) == target) ++count;
  }
  return count;
}

std::string ShellQuote(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

CommandResult RunZebevi(const std::vector<std::string>& args, std::string_view input,
                        const std::vector<std::string>& environment) {
  const char* exe = std::getenv("ZEBEVI_EXE");
  if (exe == nullptr) {
    ADD_FAILURE() << "ZEBEVI_EXE is not set";
    return {};
  }
  TempDir dir;
  std::ofstream(dir / "in", std::ios::binary) << input;
  std::string command = environment.empty() ? "" : "env ";
  for (const std::string& assignment : environment) command += ShellQuote(assignment) + " ";
  command += ShellQuote(exe);
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  command += " <" + ShellQuote((dir / "in").string()) + " >" + ShellQuote((dir / "out").string()) +
             " 2>" + ShellQuote((dir / "err").string());
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWhole(dir / "out"), ReadWhole(dir / "err")};
}

}  // namespace zebevi::testing
