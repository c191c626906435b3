// Turns a connection string into libpq's connection keywords.
//   Data Source / Server / Host  -> host (a name, an address or a socket
//                                   folder)
//   Port, Database, User ID, Password -> port, dbname, user, password
//   Connect Timeout / Connection Timeout / Timeout -> connect_timeout (s)
//   Statement Timeout            -> the server's statement_timeout (ms)
//   a "postgresql://" URI        -> its own parameters, which the keys
//                                   written after it (or a user id and
//                                   password handed to Open) replace
//   any other key                -> the libpq keyword of that name, blanks
//                                   read as '_' (sslmode, application_name,
//                                   options...); a key that is neither ours
//                                   nor libpq's is refused here, by its item
//                                   number (it may be a password's tail)
// Provider and the pool's keys are not passed on; connect_timeout is 15 s
// unless given, and statement_timeout 30 s unless Statement Timeout (or a
// statement_timeout in the caller's own options) says otherwise; 0 is none.
// Whatever the string says, the session talks UTF-8 and reads dates in ISO
// form.
#ifndef ZEBEVI_DB_POSTGRES_PG_CONNINFO_H_
#define ZEBEVI_DB_POSTGRES_PG_CONNINFO_H_

#include <string>
#include <utility>
#include <vector>

#include "db/connection_string.h"

namespace zebevi::db {

// Keywords and values in the order libpq should apply them.
using PgConnectParams = std::vector<std::pair<std::string, std::string>>;

// A malformed URI, an unknown key or a Statement Timeout that is not a whole
// number is a connection failure; the text never quotes a key or a value.
PgConnectParams PgConnectParamsOf(const ConnectionString& connection_string);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_POSTGRES_PG_CONNINFO_H_
