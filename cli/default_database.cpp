#include "cli/default_database.h"

#include "cli/json_value.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi::cli {
namespace {

constexpr std::string_view kSqlitePrefix = "sqlite:";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::filesystem::path DefaultDatabasePath(const Console& console) {
  if (!console.zebevi_db.empty()) {
    std::string_view path = console.zebevi_db;
    if (StartsWith(path, kSqlitePrefix)) path.remove_prefix(kSqlitePrefix.size());
    return std::filesystem::path(path);
  }
  if (!console.xdg_data_home.empty()) {
    return std::filesystem::path(console.xdg_data_home) / "zebevi" / "demo.db";
  }
  if (!console.home.empty()) {
    return std::filesystem::path(console.home) / ".local" / "share" / "zebevi" / "demo.db";
  }
  throw UsageError("no default database: set ZEBEVI_DB or HOME, or give --db");
}

bool IsConnectionString(std::string_view text) {
  return StartsWith(text, kSqlitePrefix) || text.find("://") != std::string_view::npos ||
         text.find('=') != std::string_view::npos;
}

std::string DatabaseConnection(std::string_view db, const Console& console) {
  std::string given(db);
  if (given.empty()) given = console.zebevi_db;
  const bool named = !given.empty();
  if (!named) given = DefaultDatabasePath(console).string();

  std::string connection = given;
  if (!IsConnectionString(given)) {
    std::error_code error;
    if (!std::filesystem::exists(given, error)) {
      throw NoDatabase("no database at " + given +
                       (named ? "" : " (create it with: zebevi demo, or give --db)"));
    }
    if (!std::filesystem::is_regular_file(given, error)) {
      throw NoDatabase(given + " is not a database file");
    }
    connection = std::string(kSqlitePrefix) + given;
  }
  try {
    DbConnection probe;
    probe.Open(connection);
    probe.Close();
  } catch (const Error& e) {
    throw NoDatabase("cannot open the database: " + e.description());
  }
  return connection;
}

}  // namespace zebevi::cli
