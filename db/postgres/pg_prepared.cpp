#include "db/postgres/pg_prepared.h"

#include <libpq-fe.h>

#include <cstring>
#include <utility>

namespace zebevi::db {
namespace {

// Whether `result` failed only because the prepared statement itself is no
// longer valid, before anything ran: the name is unknown to the server
// (26000), or the statement's plan was checked again and its result type
// changed (0A000 raised while revalidating the plan; the source function,
// unlike the message, does not depend on the server's language).
bool NeedsPreparingAgain(pg_conn* connection, const pg_result* result) {
  if (result == nullptr || PQresultStatus(result) != PGRES_FATAL_ERROR) return false;
  if (PQtransactionStatus(connection) != PQTRANS_IDLE) return false;
  const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
  if (state == nullptr) return false;
  if (std::strcmp(state, "26000") == 0) return true;
  const char* source = PQresultErrorField(result, PG_DIAG_SOURCE_FUNCTION);
  return std::strcmp(state, "0A000") == 0 && source != nullptr &&
         std::strcmp(source, "RevalidateCachedQuery") == 0;
}

}  // namespace

const std::string& PgPreparedStatements::Prepare(pg_conn* connection, const PgStatement& statement,
                                                 const std::string& key) {
  std::string name = "zebevi_" + std::to_string(++prepared_);
  statement.Prepare(connection, name);
  std::string& kept = names_[key];
  if (!kept.empty()) {
    // The old statement, if the server still has it, would only take room.
    PgResult(PQexec(connection, ("DEALLOCATE " + kept).c_str()));
  }
  kept = std::move(name);
  return kept;
}

PgResult PgPreparedStatements::Run(pg_conn* connection, const PgStatement& statement) {
  const std::string key = statement.Key();
  const auto it = names_.find(key);
  const bool known = it != names_.end();
  PgResult result =
      statement.RunPrepared(connection, known ? it->second : Prepare(connection, statement, key));
  if (known && NeedsPreparingAgain(connection, result.get())) {
    result = statement.RunPrepared(connection, Prepare(connection, statement, key));
  }
  return statement.Checked(connection, std::move(result));
}

}  // namespace zebevi::db
