// The procedures of one SQLite session: each body read from the file's
// catalog table (see sqlite_session.h) and prepared once, kept by name
// (without regard to letter case, as the catalog compares names) until the
// session closes.
//
// A body may change under the session: another connection can rewrite the
// catalog. SQLite counts the changes other connections commit (the data
// version, read for the snapshot of the last read transaction); a body read
// at an older count than the one the call ran at is read again.
#ifndef ZEBEVI_DB_SQLITE_SQLITE_CATALOG_H_
#define ZEBEVI_DB_SQLITE_SQLITE_CATALOG_H_

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "db/sqlite/sqlite_statement.h"

struct sqlite3;

namespace zebevi::db {

struct SqliteProcedure {
  std::string name;  // as the call wrote it, for messages
  std::string body;
  std::unique_ptr<SqliteStatement> statement;
  unsigned version = 0;  // the data version the body was read at
};

class SqliteCatalog {
 public:
  explicit SqliteCatalog(sqlite3* db);
  ~SqliteCatalog();
  SqliteCatalog(const SqliteCatalog&) = delete;
  SqliteCatalog& operator=(const SqliteCatalog&) = delete;

  // The procedure `name`, read and prepared on its first call. Failures are
  // command failures: "procedure NAME not found" when the catalog has no
  // such procedure (or no catalog table), "procedure NAME: the procedure
  // catalog cannot be read: ..." when reading it fails, "procedure NAME:
  // ..." when its body does not prepare.
  SqliteProcedure& Find(std::string_view name);

  // Whether the database changed since `procedure`'s body was read, as of
  // the last read transaction the session made.
  bool Changed(const SqliteProcedure& procedure) const;

  // Reads `procedure`'s body again. True when it changed: the new body is
  // then prepared in its place. A procedure gone from the catalog, or a new
  // body that does not prepare, is forgotten and fails as Find does.
  bool Reload(SqliteProcedure& procedure);

 private:
  // The catalog's body of `name` and the data version it was read at.
  std::pair<std::string, unsigned> ReadBody(std::string_view name);
  unsigned DataVersion() const;

  sqlite3* db_;
  std::unique_ptr<SqliteStatement> lookup_;
  std::unordered_map<std::string, SqliteProcedure> procedures_;  // by lower-case name
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_SQLITE_SQLITE_CATALOG_H_
