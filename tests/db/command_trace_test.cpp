#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using ::zebevi::testing::SqliteConnection;

class CommandTraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::RunSqlScript(path_, R"sql(
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

  std::vector<CommandTrace> Traces() {
    std::lock_guard lock(mutex_);
    return traces_;
  }

  testing::TempDir dir_;
  std::filesystem::path path_ = dir_ / "rotas.db";
  DbConnectionRef connection_ = std::make_shared<DbConnection>();
  std::mutex mutex_;
  std::vector<CommandTrace> traces_;
};

TEST_F(CommandTraceTest, EachCommandIsTracedAsSentWithItsRowsOrError) {
  const struct {
    const char* sql;
    std::optional<std::int64_t> rows;
    const char* error;
  } expected[] = {
      {"Exec SP_ZEB_CON_Tempo_km_Rota  7", 1, nullptr},
      {"  SELECT * FROM rota  ", 2, nullptr},
      {"Exec SP_ZEB_CON_Tempo_km_Rota  99 ", 0, nullptr},
      {"EXEC SP_Nowhere 1", std::nullopt, "procedure SP_Nowhere not found"},
  };
  for (const auto& e : expected) {
    DbRecordset set;
    if (e.error) {
      EXPECT_AUTOMATION_ERROR(set.Open(e.sql, connection_), kDbCommandFailed);
    } else {
      set.Open(e.sql, connection_);
    }
  }
  // Opening a connection sends nothing, whether it succeeds or not; the
  // call on a connection of its own is traced as the first.
  DbRecordset set;
  set.Open("Exec SP_ZEB_CON_Tempo_km_Rota  7", SqliteConnection(path_));
  EXPECT_AUTOMATION_ERROR(DbRecordset().Open("SELECT 1", SqliteConnection(dir_ / "no.db")),
                          kDbConnectionFailed);
  const std::vector<CommandTrace> traces = Traces();
  ASSERT_EQ(traces.size(), std::size(expected) + 1) << "the catalog lookups are not traced";
  for (std::size_t i = 0; i < traces.size(); ++i) {
    const auto& e = expected[i % std::size(expected)];
    EXPECT_EQ(traces[i].sql, e.sql);
    EXPECT_EQ(traces[i].rows, e.rows) << e.sql;
    EXPECT_GE(traces[i].duration.count(), 0);
    ASSERT_EQ(traces[i].error.has_value(), e.error != nullptr) << e.sql;
    if (e.error) {
      EXPECT_EQ(traces[i].error->number(), kDbCommandFailed);
      EXPECT_EQ(traces[i].error->description(), e.error);
    }
  }
  SetCommandTraceSink(nullptr);
  DbRecordset().Open("SELECT 2", connection_);
  EXPECT_EQ(Traces().size(), traces.size()) << "removing the sink stops the trace";
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
        DbRecordset().Open("EXEC SP_ZEB_CON_Tempo_km_Rota 7", connection);
      }
    });
  }
  // Set again while they trace: as any thread may.
  SetCommandTraceSink([this](const CommandTrace& trace) {
    std::lock_guard lock(mutex_);
    traces_.push_back(trace);
  });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(Traces().size(), static_cast<std::size_t>(kThreads * kCommands));
}

}  // namespace
}  // namespace zebevi
