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

TEST_F(CommandTraceTest, EachCommandIsTracedAsSentWithItsRowsOrError) {
  Run("Exec SP_ZEB_CON_Tempo_km_Rota  7");
  Run("  SELECT * FROM rota  ");
  Run("Exec SP_ZEB_CON_Tempo_km_Rota  99 ");
  EXPECT_AUTOMATION_ERROR(Run("EXEC SP_Nowhere 1"), kDbCommandFailed);
  // Opening a connection sends nothing, whether it succeeds or not.
  DbRecordset set;
  set.Open("Exec SP_ZEB_CON_Tempo_km_Rota  8", SqliteConnection(path_));
  DbRecordset unreachable;
  EXPECT_AUTOMATION_ERROR(unreachable.Open("SELECT 1", SqliteConnection(dir_ / "no.db")),
                          kDbConnectionFailed);
  const std::vector<CommandTrace> traces = Traces();
  const struct {
    const char* sql;
    std::optional<std::int64_t> rows;
    const char* error;
  } expected[] = {
      {"Exec SP_ZEB_CON_Tempo_km_Rota  7", 1, nullptr},
      {"  SELECT * FROM rota  ", 2, nullptr},
      {"Exec SP_ZEB_CON_Tempo_km_Rota  99 ", 0, nullptr},
      {"EXEC SP_Nowhere 1", std::nullopt, "procedure SP_Nowhere not found"},
      {"Exec SP_ZEB_CON_Tempo_km_Rota  8", 1, nullptr},
  };
  ASSERT_EQ(traces.size(), std::size(expected)) << "the catalog lookups are not traced";
  for (std::size_t i = 0; i < traces.size(); ++i) {
    EXPECT_EQ(traces[i].sql, expected[i].sql);
    EXPECT_EQ(traces[i].rows, expected[i].rows) << traces[i].sql;
    EXPECT_GE(traces[i].duration.count(), 0);
    EXPECT_EQ(traces[i].error.has_value(), expected[i].error != nullptr) << traces[i].sql;
    if (traces[i].error && expected[i].error) {
      EXPECT_EQ(traces[i].error->number(), kDbCommandFailed);
      EXPECT_EQ(traces[i].error->description(), expected[i].error);
    }
  }
  SetCommandTraceSink(nullptr);
  Run("SELECT 2");
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
