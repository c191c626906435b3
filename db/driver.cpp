#include "db/ascii.h"
#include "db/pool.h"
#include "db/pool_settings.h"
#include "db/session.h"
#include "db/sqlite/sqlite_session.h"
#include "zebevi/error.h"
#ifdef ZEBEVI_WITH_POSTGRES
#include "db/postgres/pg_session.h"
#endif
#ifdef ZEBEVI_WITH_ODBC
#include "db/odbc/odbc_session.h"
#endif

namespace zebevi::db {

Session::~Session() = default;

namespace {

// The provider a connection string names; an ODBC string (Driver= or DSN=)
// needs none.
std::optional<std::string> ProviderOf(const ConnectionString& effective) {
  std::optional<std::string> provider = effective.Get("provider");
  if (provider && !TrimBlanks(*provider).empty()) return provider;
  if (effective.Get("driver") || effective.Get("dsn")) return "ODBC";
  return std::nullopt;
}

}  // namespace

std::unique_ptr<Session> OpenEngineSession(const ConnectionString& effective) {
  std::optional<std::string> provider = ProviderOf(effective);
  if (!provider) {
    throw Error::Database(kDbConnectionFailed, "the connection string names no provider");
  }
  if (AsciiIEquals(*provider, "sqlite") || AsciiIEquals(*provider, "sqlite3")) {
    return std::make_unique<SqliteSession>(effective);
  }
  if (AsciiIEquals(*provider, "postgresql") || AsciiIEquals(*provider, "postgres")) {
#ifdef ZEBEVI_WITH_POSTGRES
    return std::make_unique<PgSession>(effective);
#else
    throw Error::Database(kDbConnectionFailed,
                          "provider PostgreSQL is not available in this build");
#endif
  }
  if (AsciiIEquals(*provider, "odbc")) {
#ifdef ZEBEVI_WITH_ODBC
    return std::make_unique<OdbcSession>(effective);
#else
    throw Error::Database(kDbConnectionFailed, "provider ODBC is not available in this build");
#endif
  }
  throw Error::Database(kDbConnectionFailed, "unknown provider " + *provider);
}

std::unique_ptr<Session> Connect(const ConnectionString& connection_string,
                                 std::string_view user_id, std::string_view password) {
  ConnectionString effective = connection_string;
  if (!user_id.empty()) effective.Set("user id", std::string(user_id));
  if (!password.empty()) effective.Set("password", std::string(password));

  const PoolSettings settings = PoolSettings::From(effective);
  if (!settings.enabled) return OpenEngineSession(effective);
  return ConnectionPool::Process().Acquire(effective, settings);
}

}  // namespace zebevi::db
