#include "db/pg_support.h"

namespace zebevi::testing {

std::string ServerConnection(Engine engine) {
  return engine == Engine::kOdbc ? *OdbcConnection() : *PostgresConnection();
}

std::string ApplicationNameItem(Engine engine, std::string_view name) {
  // psqlODBC hands libpq options over in one item of its own.
  if (engine == Engine::kOdbc) return ";pqopt={application_name=" + std::string(name) + "}";
  return ";application_name=" + std::string(name);
}

std::string ServerHelpers::Connection(std::string_view extra) const {
  return connection_string_ + std::string(extra);
}

DbConnectionRef ServerHelpers::Open(const std::string& connection_string) {
  auto connection = std::make_shared<DbConnection>();
  connection->Open(connection_string);
  return connection;
}

Value ServerHelpers::First(DbConnection& connection, std::string_view command) {
  return connection.session().Execute(command).rows.at(0).at(0);
}

int ServerHelpers::BackendPid(DbConnection& connection) {
  return First(connection, "SELECT pg_backend_pid()").int32();
}

void ServerHelpers::Terminate(int pid) const {
  DbConnectionRef killer = Open(*PostgresConnection() + ";Pooling=false");
  // The second argument waits, in milliseconds, until the process is gone.
  EXPECT_EQ(First(*killer, "SELECT pg_terminate_backend(" + std::to_string(pid) + ", 5000)"),
            Value::Boolean(true));
}

void PgTest::SetUp() {
  ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
  connection_string_ = *PostgresConnection();
}

void ServerEngineTest::SetUp() {
  ZEBEVI_REQUIRE_ENGINE(GetParam());
  connection_string_ = ServerConnection(GetParam());
}

}  // namespace zebevi::testing
