// Helpers shared by the test programs.
#ifndef ZEBEVI_TESTS_SUPPORT_TEST_SUPPORT_H_
#define ZEBEVI_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/value_printer.h"
#include "zebevi/error.h"
#include "zebevi/value.h"

namespace zebevi::testing {

// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Creates (or extends) the SQLite file `path` by running `sql`; a test failure on any error.
void RunSqlScript(const std::filesystem::path& path, std::string_view sql);

// The whole content of a file ("" when it cannot be read).
std::string ReadWhole(const std::filesystem::path& path);

std::string SqliteConnection(const std::filesystem::path& path);

// How many of this process's descriptors are open on `path` (one per SQLite session).
int OpenDescriptors(const std::filesystem::path& path);

// `text` as one shell word, single-quoted.
std::string ShellQuote(std::string_view text);

// What a run of the real zebevi executable (ZEBEVI_EXE) printed and how it ended.
struct CommandResult {
  int status = -1;
  std::string out;
  std::string err;
};
CommandResult RunZebevi(const std::vector<std::string>& args, std::string_view input = {},
                        const std::vector<std::string>& environment = {});

// The failure `statement` raises; a failed expectation and Error(0, "") when none.
template <typename Statement>
Error FailureOf(Statement statement) {
  try {
    statement();
  } catch (const Error& e) {
    return e;
  }
  ADD_FAILURE() << "no failure";
  return Error(0, "");
}

}  // namespace zebevi::testing

// Expects `statement` to fail with a zebevi::Error of the given number (and
// a description that holds `text`).
#define EXPECT_AUTOMATION_ERROR(statement, expected_number) \
  EXPECT_AUTOMATION_ERROR_SAYING(statement, expected_number, "")
#define EXPECT_AUTOMATION_ERROR_SAYING(statement, expected_number, text)                    \
  do {                                                                                      \
    const ::zebevi::Error zebevi_error_ = ::zebevi::testing::FailureOf([&] { statement; }); \
    EXPECT_EQ(zebevi_error_.number(), (expected_number)) << zebevi_error_.description();    \
    EXPECT_NE(zebevi_error_.description().find(text), std::string::npos)                    \
        << zebevi_error_.description();                                                     \
  } while (false)

#endif  // ZEBEVI_TESTS_SUPPORT_TEST_SUPPORT_H_
