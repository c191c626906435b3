// The SQLite engine: a database file opened read-only, with a busy timeout.
// Procedures live in the file's catalog table
//   CREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE,
//                               body TEXT NOT NULL)
// where `body` is one SELECT whose parameters ?1 ... ?N take the call's
// arguments in order (missing arguments leave the rest NULL).
#ifndef ZEBEVI_DB_SQLITE_SQLITE_SESSION_H_
#define ZEBEVI_DB_SQLITE_SQLITE_SESSION_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "db/procedure_call.h"
#include "db/session.h"

struct sqlite3;

namespace zebevi::db {

class SqliteSession final : public Session {
 public:
  // Opens the file named by "data source". A missing name, a missing or
  // unreadable file, or a file that is no database is a connection failure.
  explicit SqliteSession(const ConnectionString& connection_string);
  ~SqliteSession() override;

  Table Execute(std::string_view command) override;
  // Outside a transaction.
  bool Reusable() const override;
  // The file is still the one opened (not removed or replaced).
  bool Healthy() override;

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };

  Table Call(const ProcedureCall& call);
  // The catalog's body of `name`. This lookup is the driver's own query.
  std::string ProcedureBody(const std::string& name);

  std::unique_ptr<sqlite3, Closer> db_;
  std::string path_;
  // The file's identity when opened.
  std::uint64_t device_ = 0;
  std::uint64_t inode_ = 0;
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_SQLITE_SQLITE_SESSION_H_
