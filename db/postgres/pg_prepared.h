// The statements one PostgreSQL session has prepared. A procedure call is
// prepared the first time its function is called with its argument types
// (under a name of the session's own) and from then on run as a prepared
// statement, so the server parses and plans it once per session. The
// server drops them when the session ends.
//
// A prepared statement the server no longer accepts is prepared again, once
// per call, without the caller seeing it: one the server forgot (a plain
// DEALLOCATE or DISCARD command), or one whose function was replaced so
// that its result changed type.
#ifndef ZEBEVI_DB_POSTGRES_PG_PREPARED_H_
#define ZEBEVI_DB_POSTGRES_PG_PREPARED_H_

#include <cstdint>
#include <string>
#include <unordered_map>

#include "db/postgres/pg_statement.h"

struct pg_conn;

namespace zebevi::db {

class PgPreparedStatements {
 public:
  // Runs `statement` prepared on `connection`, preparing it first when the
  // session has not. Failures as for PgStatement::Run.
  PgResult Run(pg_conn* connection, const PgStatement& statement);

 private:
  // Prepares `statement` under a new name and keeps it under `key`.
  const std::string& Prepare(pg_conn* connection, const PgStatement& statement,
                             const std::string& key);

  std::unordered_map<std::string, std::string> names_;  // by statement key
  std::uint64_t prepared_ = 0;
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_POSTGRES_PG_PREPARED_H_
