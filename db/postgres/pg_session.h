// The PostgreSQL engine through libpq. Procedures are server functions
// returning tables, called as pg_statement.h describes; any other command
// runs as one SQL statement. Each procedure call is prepared once per
// session (pg_prepared.h). The whole result is read into the Table.
//
// The session watches for its own loss: a connection-class failure, or the
// server ending the session while it is idle (the notice that says so is
// read by Healthy), leaves it not Reusable, so a pool drops it.
#ifndef ZEBEVI_DB_POSTGRES_PG_SESSION_H_
#define ZEBEVI_DB_POSTGRES_PG_SESSION_H_

#include <chrono>
#include <memory>
#include <string_view>

#include "db/postgres/pg_prepared.h"
#include "db/session.h"

struct pg_conn;
struct pg_result;

namespace zebevi::db {

class PgSession final : public Session {
 public:
  // Connects as pg_conninfo.h describes. A server that cannot be reached,
  // refused credentials or an unknown keyword is a connection failure with
  // libpq's text.
  explicit PgSession(const ConnectionString& connection_string);
  ~PgSession() override;
  PgSession(const PgSession&) = delete;
  PgSession& operator=(const PgSession&) = delete;

  Table Execute(std::string_view command) override;
  // Connected, not lost, and outside any transaction.
  bool Reusable() const override;
  // Reads whatever the server sent while the session was idle, without
  // waiting: a closed socket or a notice that the session was ended makes
  // it unhealthy.
  bool Healthy() override;

 private:
  struct Finisher {
    void operator()(pg_conn* connection) const;
  };
  static void OnNotice(void* self, const pg_result* notice);
  // Drives the connection started by the constructor to its end, within
  // `timeout` (0: no limit).
  void WaitForConnection(std::chrono::seconds timeout);

  std::unique_ptr<pg_conn, Finisher> connection_;
  PgPreparedStatements prepared_;
  bool lost_ = false;
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_POSTGRES_PG_SESSION_H_
