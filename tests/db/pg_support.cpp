#include "db/pg_support.h"

namespace zebevi::testing {

void PgTest::SetUp() {
  ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
  connection_string_ = *PostgresConnection();
}

std::string PgTest::Connection(std::string_view extra) const {
  return connection_string_ + std::string(extra);
}

DbConnectionRef PgTest::Open(const std::string& connection_string) {
  auto connection = std::make_shared<DbConnection>();
  connection->Open(connection_string);
  return connection;
}

Value PgTest::First(DbConnection& connection, std::string_view command) {
  return connection.session().Execute(command).rows.at(0).at(0);
}

int PgTest::BackendPid(DbConnection& connection) {
  return First(connection, "SELECT pg_backend_pid()").int32();
}

void PgTest::Terminate(int pid) const {
  DbConnectionRef killer = Open(Connection(";Pooling=false"));
  // The second argument waits, in milliseconds, until the process is gone.
  EXPECT_EQ(First(*killer, "SELECT pg_terminate_backend(" + std::to_string(pid) + ", 5000)"),
            Value::Boolean(true));
}

}  // namespace zebevi::testing
