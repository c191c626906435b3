// The ODBC engine through the driver manager (unixODBC): any server whose
// driver is installed, chosen by Driver= or DSN= (odbc_conninfo.h). A
// procedure call goes as the driver's call escape (odbc_statement.h); any
// other command as it is. The first result with columns is read whole.
//
// Sessions are pooled by our own pool like every engine's: the driver
// manager's pooling is turned off. A failure whose SQLSTATE is of class 08,
// or after which the driver says the connection is dead, leaves the
// session not Reusable, so a pool drops it.
#ifndef ZEBEVI_DB_ODBC_ODBC_SESSION_H_
#define ZEBEVI_DB_ODBC_ODBC_SESSION_H_

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "db/odbc/odbc_types.h"
#include "db/session.h"

namespace zebevi::db {

class OdbcSession final : public Session {
 public:
  // Connects within the login timeout. A driver or data source that is not
  // there, a server that cannot be reached or refused credentials is a
  // connection failure with the driver's text.
  explicit OdbcSession(const ConnectionString& connection_string);
  ~OdbcSession() override;
  OdbcSession(const OdbcSession&) = delete;
  OdbcSession& operator=(const OdbcSession&) = delete;

  Table Execute(std::string_view command) override;
  // Not lost, and in autocommit mode.
  bool Reusable() const override;
  // Whether the driver still takes the connection for alive
  // (SQL_ATTR_CONNECTION_DEAD), which drivers answer without a round trip.
  bool Healthy() override;

 private:
  struct Disconnect {
    void operator()(void* connection) const;
  };
  bool Dead() const;

  OdbcHandle environment_;
  OdbcHandle connection_;
  // Set once connected: disconnects before the handles are freed.
  std::unique_ptr<void, Disconnect> link_;
  std::chrono::seconds query_timeout_;
  std::string password_;
  bool lost_ = false;
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_ODBC_ODBC_SESSION_H_
