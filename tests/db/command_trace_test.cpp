#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using ::zebevi::testing::RunSqlScript;
using ::zebevi::testing::SqliteConnection;
using ::zebevi::testing::TempDir;

class CommandTraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunSqlScript(path_, R"sql(
      CREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE, body TEXT NOT NULL);
      CREATE TABLE rota (rota_id INTEGER PRIMARY KEY, km REAL);
      INSERT INTO rota VALUES (7, 412.5), (8, 90);
      INSERT INTO zeb_procedure VALUES
        ('SP_ZEB_CON_Tempo_km_Rota', 'SELECT km FROM rota WHERE rota_id = ?1');
    )sql");
    connection_->Open(SqliteConnection(path_));
    SetCommandTraceSink([this](const CommandTrace& trace) {
      std::lock_guard lock(mutex_);
      traces_.push_back(trace);
    });
  }
  void TearDown() override { SetCommandTraceSink(nullptr); }

  void Run(std::string_view command) {
    DbRecordset set;
    set.Open(command, connection_);
  }

  std::vector<CommandTrace> Traces() {
    std::lock_guard lock(mutex_);
    return traces_;
  }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "rotas.db";
  DbConnectionRef connection_ = std::make_shared<DbConnection>();
  std::mutex mutex_;
  std::vector<CommandTrace> traces_;
};

TEST_F(CommandTraceTest, EachCommandIsTracedExactlyWithItsRows) {
  Run("Exec SP_ZEB_CON_Tempo_km_Rota  7");
  Run("  SELECT * FROM rota  ");
  Run("Exec SP_ZEB_CON_Tempo_km_Rota  99 ");
  std::vector<CommandTrace> traces = Traces();
  ASSERT_EQ(traces.size(), 3u) << "the catalog lookups are not traced";
  EXPECT_EQ(traces[0].sql, "Exec SP_ZEB_CON_Tempo_km_Rota  7");
  EXPECT_EQ(traces[0].rows, 1);
  EXPECT_FALSE(traces[0].error.has_value());
  EXPECT_GE(traces[0].duration.count(), 0);
  EXPECT_EQ(traces[1].sql, "  SELECT * FROM rota  ");
  EXPECT_EQ(traces[1].rows, 2);
  EXPECT_EQ(traces[2].sql, "Exec SP_ZEB_CON_Tempo_km_Rota  99 ");
  EXPECT_EQ(traces[2].rows, 0);
}

TEST_F(CommandTraceTest, AFailedCommandIsTracedWithItsError) {
  EXPECT_AUTOMATION_ERROR(Run("EXEC SP_Nowhere 1"), kDbCommandFailed);
  EXPECT_AUTOMATION_ERROR(Run("EXEC SP_ZEB_CON_Tempo_km_Rota x"), kDbCommandFailed);
  std::vector<CommandTrace> traces = Traces();
  ASSERT_EQ(traces.size(), 2u);
  EXPECT_EQ(traces[0].sql, "EXEC SP_Nowhere 1");
  EXPECT_FALSE(traces[0].rows.has_value());
  ASSERT_TRUE(traces[0].error.has_value());
  EXPECT_EQ(traces[0].error->number(), kDbCommandFailed);
  EXPECT_EQ(traces[0].error->description(), "procedure SP_Nowhere not found");
  ASSERT_TRUE(traces[1].error.has_value());
  EXPECT_NE(traces[1].error->description().find("argument 1"), std::string::npos);
}

TEST_F(CommandTraceTest, OpeningAConnectionSendsNoCommand) {
  DbRecordset set;
  set.Open("Exec SP_ZEB_CON_Tempo_km_Rota  8", SqliteConnection(path_));
  DbRecordset unreachable;
  EXPECT_AUTOMATION_ERROR(unreachable.Open("SELECT 1", SqliteConnection(dir_ / "no.db")),
                          kDbConnectionFailed);
  std::vector<CommandTrace> traces = Traces();
  ASSERT_EQ(traces.size(), 1u);
  EXPECT_EQ(traces[0].sql, "Exec SP_ZEB_CON_Tempo_km_Rota  8");
}

TEST_F(CommandTraceTest, RemovingTheSinkStopsTheTrace) {
  Run("SELECT 1");
  SetCommandTraceSink(nullptr);
  Run("SELECT 2");
  EXPECT_EQ(Traces().size(), 1u);
}

TEST_F(CommandTraceTest, SessionsOnSeveralThreadsShareTheSink) {
  constexpr int kThreads = 4;
  constexpr int kCommands = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this] {
      auto connection = std::make_shared<DbConnection>();
      connection->Open(SqliteConnection(path_));
      for (int i = 0; i < kCommands; ++i) {
        DbRecordset set;
        set.Open("EXEC SP_ZEB_CON_Tempo_km_Rota 7", connection);
      }
    });
  }
  SetCommandTraceSink([this](const CommandTrace& trace) {
    std::lock_guard lock(mutex_);
    traces_.push_back(trace);
  });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(Traces().size(), static_cast<std::size_t>(kThreads * kCommands));
}

}  // namespace
}  // namespace zebevi
