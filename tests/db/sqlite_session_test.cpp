#include "db/sqlite/sqlite_session.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "db/db_support.h"
#include "zebevi/db.h"
#include "zebevi/error.h"
#include "zebevi/value.h"

namespace zebevi::db {
namespace {

using ::zebevi::testing::FailureOf;
using ::zebevi::testing::RunSqlScript;
using ::zebevi::testing::SqliteConnection;
using ::zebevi::testing::TempDir;

constexpr std::string_view kSchema = R"sql(
CREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE, body TEXT NOT NULL);
CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT);
INSERT INTO t VALUES (1, 'um'), (2, 'dois'), (3, 'três');
CREATE TABLE kinds (i INTEGER, r REAL, s TEXT, d DATE, dt DATETIME, ts timestamp,
                    tz TIMESTAMP WITH TIME ZONE, b BLOB, nd VARCHAR(10));
INSERT INTO kinds VALUES
  (42, 2.5, 'olá', '2024-03-15', '2024-03-15 14:30:00', '2024-03-15T14:30:00',
   '1999-12-31', x'41420043', '2024-03-15'),
  (-2147483648, -0.125, '', '15/03/2024', '2024-02-30 10:00:00', '2024-03-15 14:30',
   NULL, NULL, NULL),
  (2147483648, NULL, NULL, NULL, 45366, 'amanhã', '', NULL, NULL);
INSERT INTO zeb_procedure VALUES
  ('SP_By_Id', 'SELECT id, name FROM t WHERE id = ?1'),
  ('SP_By_Name', 'SELECT id FROM t WHERE name = ?1'),
  ('SP_Echo', 'SELECT quote(?1) || '' '' || quote(?2) || '' '' || quote(?3)'),
  ('SP_Two', 'SELECT 1; SELECT 2'),
  ('SP_Trailing', 'SELECT count(*) AS n FROM t;  -- all of them'),
  ('SP_Broken', 'SELECT missing FROM nowhere'),
  ('SP_Write', 'UPDATE t SET name = ?1');
)sql";

class SqliteSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunSqlScript(path_, kSchema);
    session_ = std::make_unique<SqliteSession>(ConnectionString::Parse(SqliteConnection(path_)));
  }
  Value First(std::string_view command) { return session_->Execute(command).rows.at(0).at(0); }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "fixture.db";
  std::unique_ptr<SqliteSession> session_;
};

const double k20240315 = 45366;  // days since 1899-12-30
const double k1430 = 14.5 / 24;

TEST_F(SqliteSessionTest, ColumnsMapToValueKinds) {
  Table table = session_->Execute("SELECT * FROM kinds ORDER BY rowid");
  ASSERT_EQ(table.columns,
            (std::vector<std::string>{"i", "r", "s", "d", "dt", "ts", "tz", "b", "nd"}));
  ASSERT_EQ(table.rows.size(), 3u);
  // Date columns read ISO texts (with T or a zone) as dates, and nothing else.
  for (const auto& [row, column, value] : std::vector<std::tuple<std::size_t, std::size_t, Value>>{
           {0, 3, Value::Date(k20240315)},
           {0, 4, Value::Date(k20240315 + k1430)},
           {0, 5, Value::Date(k20240315 + k1430)},
           {0, 6, Value::Date(36525)},
           {0, 7, Value::String(std::string("AB\0C", 4))},
           {0, 8, Value::String("2024-03-15")},  // not a date column
           {1, 0, Value::Int32(-2147483647 - 1)},
           {2, 0, Value::Double(2147483648.0)},
           {1, 4, Value::String("2024-02-30 10:00:00")},
           {1, 5, Value::String("2024-03-15 14:30")},
           {2, 4, Value::Int32(45366)}}) {
    EXPECT_EQ(table.rows[row][column], value) << table.columns[column] << " of row " << row;
  }
  EXPECT_EQ(First("SELECT 9007199254740993"), Value::Double(9007199254740992.0));
}

// Procedure bodies keep date columns too.
TEST_F(SqliteSessionTest, ColumnsFollowATableRebuiltUnderAKeptStatement) {
  RunSqlScript(path_,
               "CREATE TABLE w (a INTEGER); INSERT INTO w VALUES (1);"
               "INSERT INTO zeb_procedure VALUES ('SP_W', 'SELECT * FROM w')");
  EXPECT_EQ(session_->Execute("EXEC SP_W").columns, std::vector<std::string>{"a"});
  RunSqlScript(path_,
               "DROP TABLE w; CREATE TABLE w (b TEXT, c DATE);"
               "INSERT INTO w VALUES ('x', '2024-03-15')");
  const Table table = session_->Execute("EXEC SP_W");
  EXPECT_EQ(table.columns, (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(table.rows.at(0).at(1), Value::Date(k20240315));
}

TEST_F(SqliteSessionTest, ArgumentsBindAsNumbersTextsAndNulls) {
  for (const auto& [command, quoted] : std::vector<std::pair<const char*, const char*>>{
           {"EXEC SP_Echo 7, '7', NULL", "7 '7' NULL"},
           {"EXEC SP_Echo -1.5, 3000000000, 'O''Neil'", "-1.5 3000000000 'O''Neil'"},
           // Missing arguments are NULL, not those of the call before.
           {"EXEC SP_Echo 1", "1 NULL NULL"}}) {
    EXPECT_EQ(First(command), Value::String(quoted)) << command;
  }
  EXPECT_EQ(session_->Execute("exec sp_by_ID 2 ").rows.at(0).at(1), Value::String("dois"));
  // Spliced into the body, the text would drop the table.
  EXPECT_TRUE(session_->Execute("EXEC SP_By_Name 'x''; DROP TABLE t; --'").rows.empty());
  EXPECT_EQ(First("EXEC SP_By_Name 'três'"), Value::Int32(3));
  EXPECT_EQ(First("EXEC SP_Trailing"), Value::Int32(3));
}

TEST_F(SqliteSessionTest, FailuresNameTheirCauseAndLeaveTheSessionReusable) {
  for (const auto& [command, says] : std::vector<std::pair<const char*, const char*>>{
           {"EXEC SP_Nowhere 1", "procedure SP_Nowhere not found"},
           {"EXEC SP_By_Id 1, 2",
            "procedure SP_By_Id: too many arguments: 2 given, at most 1 taken"},
           {"EXEC SP_Two", "procedure SP_Two: the command holds more than one"},
           {"EXEC SP_Broken", "procedure SP_Broken: no such table: nowhere"},
           {"SELECT 1; DELETE FROM t", "more than one statement"},
           {"-- nothing", "no statement"},
           // The database is opened read-only.
           {"EXEC SP_Write 'x'", "procedure SP_Write: "}}) {
    EXPECT_AUTOMATION_ERROR_SAYING(session_->Execute(command), kDbCommandFailed, says);
  }
  // A failed use leaves no statement holding a transaction open.
  EXPECT_TRUE(session_->Reusable());
  for (int k = 0; k < 40; ++k) {  // more texts than a session keeps
    EXPECT_EQ(First("SELECT " + std::to_string(k)), Value::Int32(k));
  }
  EXPECT_EQ(session_->Execute("EXEC SP_By_Id 3").rows.at(0)[1], Value::String("três"));

  RunSqlScript(dir_ / "plain.db", "CREATE TABLE t (x);");
  SqliteSession plain(ConnectionString::Parse(SqliteConnection(dir_ / "plain.db")));
  EXPECT_EQ(FailureOf([&] { plain.Execute("EXEC SP_By_Id 1"); }).description(),
            "procedure SP_By_Id not found: no such table: zeb_procedure");
}

TEST_F(SqliteSessionTest, MapsTheFileOnlyWhenAskedAndWithinItsBounds) {
  auto mapped = [&](const std::string& extra) {
    SqliteSession session(
        ConnectionString::Parse("Provider=SQLite;Data Source=" + path_.string() + extra));
    EXPECT_EQ(session.Execute("EXEC SP_By_Id 2").rows.at(0)[1], Value::String("dois"));
    return session.Execute("PRAGMA mmap_size").rows.at(0).at(0);
  };
  EXPECT_EQ(mapped(""), Value::Int32(0));
  EXPECT_EQ(mapped(";Memory Map MB=0"), Value::Int32(0));
  EXPECT_EQ(mapped(";memory map mb= 64 "), Value::Int32(64 << 20));
  for (const char* refused : {"-1", "2048", "64MB", ""}) {
    EXPECT_EQ(FailureOf([&] { mapped(std::string(";Memory Map MB=") + refused); }).description(),
              "connection string key memory map mb must be a whole number from 0 to 2047")
        << refused;
  }
}

// The catalog rewritten under an idle pooled session: its next call follows.
TEST_F(SqliteSessionTest, CatalogChangesAreSeenByTheNextCallOfAPooledSession) {
  session_.reset();
  const std::string connection_string = SqliteConnection(path_);
  // The first value, or the failure's text.
  const auto call = [&](std::string_view command) {
    DbConnection connection;
    connection.Open(connection_string);
    try {
      const Table table = connection.session().Execute(command);
      return table.rows.empty() ? std::string() : table.rows[0][0].string();
    } catch (const Error& e) {
      return e.description();
    }
  };
  for (const auto& [sql, command, expected] :
       std::vector<std::tuple<const char*, const char*, const char*>>{
           {"UPDATE zeb_procedure SET body = 'SELECT name, id FROM t WHERE id = ?1' "
            "WHERE name = 'SP_By_Id'",
            "EXEC SP_By_Id 2", "dois"},
           {"DELETE FROM zeb_procedure WHERE name = 'SP_Trailing'", "EXEC SP_Trailing",
            "procedure SP_Trailing not found"},
           {"INSERT INTO t VALUES (4, 'quatro')", "EXEC SP_By_Id 4", "quatro"}}) {
    // The procedures the change touches are prepared and kept first.
    for (const char* before : {"EXEC SP_By_Id 2", command}) call(before);
    ASSERT_EQ(testing::Counts(connection_string).idle, 1u);
    RunSqlScript(path_, sql);
    EXPECT_EQ(call(command), expected) << sql;
    EXPECT_EQ(testing::Counts(connection_string).idle, 1u) << "the same session answered";
  }
}

// A read span takes the file's shared lock with its first call and keeps it
// (a writer cannot commit) until plain SQL runs or the connection lets go.
TEST_F(SqliteSessionTest, AReadSpanKeepsItsSnapshotUntilPlainSqlOrTheEndOfTheConnection) {
  session_.reset();
  const std::string connection_string = SqliteConnection(path_);
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> writer(raw, sqlite3_close);
  const auto write = [&](const char* name) {
    const std::string sql = std::string("UPDATE t SET name = '") + name + "' WHERE id = 2";
    return sqlite3_exec(writer.get(), sql.c_str(), nullptr, nullptr, nullptr);
  };
  DbConnection connection;
  connection.Open(connection_string);
  connection.ReadTogether();
  const auto name_of_2 = [&] {
    return connection.session().Execute("EXEC SP_By_Id 2").rows.at(0).at(1).string();
  };
  EXPECT_EQ(name_of_2(), "dois");
  EXPECT_EQ(write("DOIS"), SQLITE_BUSY);
  connection.session().Execute("SELECT 1");
  EXPECT_EQ(write("DOIS"), SQLITE_OK);
  EXPECT_EQ(name_of_2(), "DOIS");
  EXPECT_EQ(write("dois"), SQLITE_BUSY);
  connection.Close();
  EXPECT_EQ(write("dois"), SQLITE_OK);
  EXPECT_EQ(testing::Counts(connection_string).idle, 1u) << "the session went back to the pool";
}

TEST_F(SqliteSessionTest, ADamagedCatalogIsReportedAsDamagedNotAsAMissingProcedure) {
  session_.reset();
  // Every page but the first (the schema) overwritten.
  const auto size = static_cast<std::streamsize>(std::filesystem::file_size(path_)) - 4096;
  ASSERT_TRUE(std::fstream(path_, std::ios::in | std::ios::out | std::ios::binary)
                  .seekp(4096)
                  .write(std::string(static_cast<std::size_t>(size), '\xa5').data(), size));
  SqliteSession damaged(ConnectionString::Parse(SqliteConnection(path_)));
  EXPECT_EQ(FailureOf([&] { damaged.Execute("EXEC SP_By_Id 1"); }).description(),
            "procedure SP_By_Id: the procedure catalog cannot be read: database disk image is "
            "malformed");
}

}  // namespace
}  // namespace zebevi::db
