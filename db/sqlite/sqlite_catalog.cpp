#include "db/sqlite/sqlite_catalog.h"

#include <sqlite3.h>

#include <utility>

#include "db/ascii.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

std::string Context(std::string_view name) { return "procedure " + std::string(name) + ": "; }

[[noreturn]] void NotFound(std::string_view name, std::string_view reason = {}) {
  std::string text = "procedure " + std::string(name) + " not found";
  if (!reason.empty()) text += ": " + std::string(reason);
  throw Error::Database(kDbCommandFailed, text);
}

[[noreturn]] void Unreadable(std::string_view name, const Error& cause) {
  throw Error::Database(cause.number(), Context(name) + "the procedure catalog cannot be read: " +
                                            cause.description());
}

}  // namespace

SqliteCatalog::SqliteCatalog(sqlite3* db) : db_(db) {}

SqliteCatalog::~SqliteCatalog() = default;

unsigned SqliteCatalog::DataVersion() const {
  unsigned version = 0;
  // Without the count every body counts as changed: slower, never stale.
  if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_DATA_VERSION, &version) != SQLITE_OK) {
    return ~version;
  }
  return version;
}

bool SqliteCatalog::Changed(const SqliteProcedure& procedure) const {
  return DataVersion() != procedure.version;
}

std::pair<std::string, unsigned> SqliteCatalog::ReadBody(std::string_view name) {
  if (!lookup_) {
    try {
      lookup_ =
          std::make_unique<SqliteStatement>(db_, "SELECT body FROM zeb_procedure WHERE name = ?1");
    } catch (const Error& e) {
      // A plain error (no such table) means a file without procedures; any
      // other (a damaged file, a failed read) is no answer about them.
      if (sqlite3_errcode(db_) == SQLITE_ERROR) NotFound(name, e.description());
      Unreadable(name, e);
    }
  }
  StatementUse use(*lookup_);
  bool found = false;
  try {
    lookup_->Bind(1, std::string(name));
    found = lookup_->Step();
  } catch (const Error& e) {
    Unreadable(name, e);
  }
  if (!found) NotFound(name);
  const unsigned char* body = sqlite3_column_text(lookup_->get(), 0);
  return {body ? reinterpret_cast<const char*>(body) : "", DataVersion()};
}

SqliteProcedure& SqliteCatalog::Find(std::string_view name) {
  std::string key = AsciiLower(name);
  if (auto it = procedures_.find(key); it != procedures_.end()) return it->second;
  auto [body, version] = ReadBody(name);
  SqliteProcedure procedure{std::string(name), std::move(body), nullptr, version};
  procedure.statement = std::make_unique<SqliteStatement>(db_, procedure.body, Context(name));
  return procedures_.emplace(std::move(key), std::move(procedure)).first->second;
}

bool SqliteCatalog::Reload(SqliteProcedure& procedure) {
  const std::string name = procedure.name;
  try {
    auto [body, version] = ReadBody(name);
    if (body == procedure.body) {
      procedure.version = version;
      return false;
    }
    auto statement = std::make_unique<SqliteStatement>(db_, body, Context(name));
    procedure.body = std::move(body);
    procedure.statement = std::move(statement);
    procedure.version = version;
    return true;
  } catch (const Error&) {
    procedures_.erase(AsciiLower(name));
    throw;
  }
}

}  // namespace zebevi::db
