// Turns a connection string into the text that SQLDriverConnect takes, and
// the timeouts the session sets itself.
//   Driver, DSN                  -> DRIVER, DSN (the driver manager picks the
//                                   driver by either)
//   Data Source / Server / Host  -> SERVER
//   Database / Initial Catalog   -> DATABASE
//   User ID / UID, Password / PWD -> UID, PWD
//   Login Timeout / Connect Timeout / Connection Timeout
//                                -> SQL_ATTR_LOGIN_TIMEOUT, seconds
//                                   (default 15, 0: none)
//   Query Timeout / Command Timeout
//                                -> SQL_ATTR_QUERY_TIMEOUT of every command,
//                                   seconds (default 30, 0: none)
//   any other key                -> passed to the driver as it is (Port,
//                                   TDS_Version, ClientCharset, sslmode...)
// Provider and the pool's keys are not passed on. A value is written in
// braces, with '}' doubled, when it holds ';', '{', '}' or '=', or starts
// or ends with a blank; a value already written in braces
// (Driver={PostgreSQL Unicode}) is taken as quoted.
#ifndef ZEBEVI_DB_ODBC_ODBC_CONNINFO_H_
#define ZEBEVI_DB_ODBC_ODBC_CONNINFO_H_

#include <chrono>
#include <string>

#include "db/connection_string.h"

namespace zebevi::db {

struct OdbcConnectParams {
  std::string text;  // KEY=value;... for SQLDriverConnect
  std::chrono::seconds login_timeout{15};
  std::chrono::seconds query_timeout{30};
  // The password, which no message may show; empty when there is none.
  std::string password;
};

// A timeout that is not a whole number of seconds, or a braced value that is
// not closed where it ends, is a connection failure; the text never quotes a
// value.
OdbcConnectParams OdbcConnectParamsOf(const ConnectionString& connection_string);

// `text` with every occurrence of `secret` (when not empty) shown as "***".
std::string Masked(std::string text, const std::string& secret);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_ODBC_ODBC_CONNINFO_H_
