// Helpers for the trip-summary tests: small fixture databases, the log of
// the commands sent, and the diagnostic detail a trap appends.
#ifndef ZEBEVI_TESTS_TRIP_TRIP_FIXTURE_H_
#define ZEBEVI_TESTS_TRIP_TRIP_FIXTURE_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_support.h"
#include "zebevi/db.h"
#include "zebevi/value.h"
#include "zebevi/value_rules.h"

namespace zebevi::testing {

// The fixed text of the traps of the trip queries.
extern const Value kClientes;

// A SQLite file holding the procedure catalog (empty), then whatever `sql`
// adds: tables, rows and catalog entries.
class FixtureDatabase {
 public:
  explicit FixtureDatabase(std::string_view sql);

  const std::filesystem::path& path() const { return path_; }
  std::string connection_string() const { return SqliteConnection(path_); }
  // A new connection, open on the file.
  DbConnectionRef Open() const;

 private:
  TempDir dir_;
  std::filesystem::path path_;
};

// The commands sent to any database while it lives, with their failures.
class CommandLog {
 public:
  CommandLog();
  ~CommandLog();
  CommandLog(const CommandLog&) = delete;
  CommandLog& operator=(const CommandLog&) = delete;

  std::vector<std::string> commands() const;
  // The failure of the last command. REQUIRES: it failed.
  const Error& last_error() const;

 private:
  std::vector<CommandTrace> traces_;
};

// What a trap appends for the diagnostic user: the prefix, the failure's
// description and number, and the label of the failing step.
std::string Detail(std::string_view prefix, const Error& error, int label);

// While it lives, the value rules component cannot be created: the first
// step of an operation that needs it fails. The library's own rules come
// back when it goes away.
class UncreatableRules {
 public:
  UncreatableRules();
  ~UncreatableRules();
  UncreatableRules(const UncreatableRules&) = delete;
  UncreatableRules& operator=(const UncreatableRules&) = delete;

  // The failure that such a step raises.
  Error failure() const;
};

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_TRIP_TRIP_FIXTURE_H_
