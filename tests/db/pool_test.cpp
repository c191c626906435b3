// The pool on SQLite files; what only a server shows is in pg_driver_test.cpp.
#include "db/pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "db/connection_string.h"
#include "db/db_support.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using namespace ::zebevi::testing;  // the pool helpers
using Clock = std::chrono::steady_clock;

class PoolTest : public ::testing::Test {
 protected:
  void SetUp() override { RunSqlScript(path_, "CREATE TABLE t (x); INSERT INTO t VALUES (1);"); }
  static Value Read(DbConnection& connection) { return First(connection, "SELECT x FROM t"); }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "pool.db";
  std::string connection_string_ = "Provider=SQLite;Data Source=" + path_.string();
};

TEST_F(PoolTest, AClosedConnectionWaitsIdleAndIsLentAgainUnderItsKey) {
  Open(connection_string_)->Close();
  EXPECT_EQ(Counts(connection_string_).idle, 1u);
  DbConnectionRef second = Open(connection_string_);
  EXPECT_EQ(Counts(connection_string_).idle, 0u) << "the idle one is lent, none is opened";
  EXPECT_EQ(Counts(connection_string_).lent, 1u);
  second.reset();  // the release returns it too
  // Credentials are part of the key.
  DbConnection().Open(connection_string_, "SISTEMA", "TRMVQKD");
  EXPECT_EQ(Counts(connection_string_).idle, 1u);
  EXPECT_EQ(Counts(connection_string_ + ";User ID=SISTEMA;Password=TRMVQKD").idle, 1u);
}

TEST_F(PoolTest, UnpooledOrUnusableSessionsAreNotKept) {
  const std::string unpooled = connection_string_ + ";Pooling=false";
  EXPECT_EQ(Read(*Open(unpooled)), Value::Int32(1));
  EXPECT_EQ(Counts(unpooled).idle + Counts(unpooled).lent, 0u);

  DbConnectionRef in_transaction = Open(connection_string_);
  in_transaction->session().Execute("BEGIN");
  in_transaction->Close();
  EXPECT_EQ(Counts(connection_string_).idle + Counts(connection_string_).lent, 0u)
      << "a session left in a transaction is dropped";

  Open(connection_string_)->Close();
  ASSERT_EQ(Counts(connection_string_).idle, 1u);
  std::filesystem::remove(path_);
  RunSqlScript(path_, "CREATE TABLE t (x); INSERT INTO t VALUES (2);");
  EXPECT_EQ(Read(*Open(connection_string_)), Value::Int32(2))
      << "an idle session on a replaced file is dropped for a fresh one";
}

TEST_F(PoolTest, AFullPoolWaitsForAReturnThenGivesUp) {
  const std::string one = connection_string_ + ";Max Pool Size=1;Pool Timeout=1";
  DbConnectionRef holder = Open(one);

  const Clock::time_point start = Clock::now();
  EXPECT_AUTOMATION_ERROR_SAYING(Open(one), kDbConnectionFailed, "within 1 s");
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(900));

  std::thread returner([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    holder->Close();
  });
  DbConnectionRef waiter = Open(one);
  returner.join();
  EXPECT_EQ(Read(*waiter), Value::Int32(1));
}

TEST_F(PoolTest, IdleSessionsExpire) {
  const std::string brief = connection_string_ + ";Pool Idle Timeout=1";
  Open(brief)->Close();
  ASSERT_EQ(Counts(brief).idle, 1u);
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  // Any checkout, of any key, closes what has expired.
  Open(connection_string_)->Close();
  EXPECT_EQ(Counts(brief).idle, 0u);
}

TEST_F(PoolTest, PoolSettingsMustBeValid) {
  for (const char* bad :
       {";Pooling=maybe", ";Max Pool Size=0", ";Max Pool Size=100000", ";Pool Timeout=soon"}) {
    EXPECT_AUTOMATION_ERROR(Open(connection_string_ + bad), kDbConnectionFailed);
  }
  EXPECT_EQ(Read(*Open(connection_string_ + ";pooling=NO")), Value::Int32(1));
}

TEST_F(PoolTest, ThreadsShareTheSessionsOfAKey) {
  const std::string shared = connection_string_ + ";Max Pool Size=3";
  std::atomic<int> read{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&] {
      for (int round = 0; round < 40; ++round) read += Read(*Open(shared)) == Value::Int32(1);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(read, 8 * 40);
  EXPECT_EQ(Counts(shared).lent, 0u);
  EXPECT_GE(Counts(shared).idle, 1u);
  EXPECT_LE(Counts(shared).idle, 3u);
}

}  // namespace
}  // namespace zebevi
