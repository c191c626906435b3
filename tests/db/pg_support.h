// Helpers of the tests that need the PostgreSQL test server.
#ifndef ZEBEVI_TESTS_DB_PG_SUPPORT_H_
#define ZEBEVI_TESTS_DB_PG_SUPPORT_H_

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "db/session.h"
#include "support/engines.h"
#include "zebevi/db.h"

namespace zebevi::testing {

// Cases that run on the server's reference database; failed under CI and
// skipped elsewhere when there is no server.
class PgTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // The reference database's connection string, with `extra` appended.
  std::string Connection(std::string_view extra = {}) const;
  static DbConnectionRef Open(const std::string& connection_string);
  // The first value of the first row `command` gives.
  static Value First(DbConnection& connection, std::string_view command);
  // The server process behind `connection`.
  static int BackendPid(DbConnection& connection);
  // Ends the server process `pid` from another session and waits until it
  // is gone.
  void Terminate(int pid) const;

  std::string connection_string_;
};

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_DB_PG_SUPPORT_H_
