// The public database objects: connections, result sets and the command trace, on SQLite files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "db/session.h"
#include "support/command_log.h"
#include "support/test_support.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using ::zebevi::testing::OpenDescriptors;
using ::zebevi::testing::RunSqlScript;
using ::zebevi::testing::SqliteConnection;
using ::zebevi::testing::TempDir;

// The failure of opening `connection_string`, after checking its number.
Error OpenFailure(std::string_view connection_string, std::string_view password = {}) {
  DbConnection connection;
  const Error e = testing::FailureOf([&] { connection.Open(connection_string, "", password); });
  EXPECT_EQ(e.number(), kDbConnectionFailed) << e.description();
  EXPECT_FALSE(connection.is_open());
  return e;
}

// One file of every table and procedure the cases read, and a connection on it.
class DbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunSqlScript(path_, R"sql(
      CREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE, body TEXT NOT NULL);
      CREATE TABLE t (x); INSERT INTO t VALUES (7);
      CREATE TABLE nota (NOTA_FISCAL_ID INTEGER PRIMARY KEY, Numero_Nota TEXT, "Emissão" DATE);
      INSERT INTO nota VALUES (10, 'NF-1', '2024-01-05'), (20, 'NF-2', NULL),
                              (30, 'NF-3', '2024-01-07');
      INSERT INTO zeb_procedure VALUES
        ('SP_Notas', 'SELECT NOTA_FISCAL_ID, Numero_Nota, "Emissão" FROM nota
                       WHERE NOTA_FISCAL_ID >= ?1 ORDER BY 1');
    )sql");
    connection_->Open(SqliteConnection(path_));
  }
  std::unique_ptr<DbRecordset> OpenSet(std::string_view command) {
    auto set = std::make_unique<DbRecordset>();
    set->set_cursor_location(CursorLocation::kClient);
    set->Open(command, connection_);
    return set;
  }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "base de dados.db";
  DbConnectionRef connection_ = std::make_shared<DbConnection>();
};
using DbConnectionTest = DbTest;
using DbRecordsetTest = DbTest;

TEST_F(DbConnectionTest, OpensEveryFormOfSqliteConnectionString) {
  const auto expect_opens = [](const std::string& text) {
    DbConnection connection;
    connection.Open(text, "SISTEMA", "TRMVQKD");  // a file database takes a user and password
    EXPECT_EQ(connection.session().Execute("SELECT x FROM t").rows.at(0).at(0), Value::Int32(7))
        << text;
  };
  expect_opens(SqliteConnection(path_));
  expect_opens("HOST=\"" + path_.string() + "\";Provider=SQLite3;Pooling=false");
  // Only a relative name can start with "file:", so run from the folder.
  RunSqlScript(dir_ / "file:odd.db", "CREATE TABLE t (x); INSERT INTO t VALUES (7);");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  expect_opens("sqlite:file:odd.db");
  OpenFailure("sqlite:file:odd.db?mode=ro");  // never read as a URI
  std::filesystem::current_path(previous);
}

TEST_F(DbConnectionTest, FailuresToOpenSayWhyAndNeverShowThePassword) {
  const std::string missing = (dir_ / "missing.db").string();
  std::ofstream(dir_ / "notes.txt") << "these are not the pages of a database, "
                                       "just some text long enough to fill a header";
  for (const auto& [text, says] : std::vector<std::pair<std::string, const char*>>{
           {"Provider=SQLite;Password=hunter2;Data Source=" + missing,
            "cannot open database file "},
           {SqliteConnection(dir_ / "notes.txt"), "cannot open database file"},
           {"sqlite::memory:", "not a file"},
           {"Data Source=" + path_.string(), "the connection string names no provider"},
           {"Provider=Nonesuch;PWD=hunter2", "unknown provider Nonesuch"},
           // PostgreSQL is known: without a server there, it is the connection that fails.
           {"postgresql://ana:hunter2@/f?host=/tmp/zebevi-no-server",
            "cannot connect to PostgreSQL"}}) {
    for (const std::string_view password : {"", "hunter2"}) {
      const std::string got = OpenFailure(text, password).description();
      EXPECT_NE(got.find(says), std::string::npos) << text << ": " << got;
      EXPECT_EQ(got.find("hunter2"), std::string::npos) << got;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(missing)) << "a read-only open creates nothing";
}

TEST_F(DbConnectionTest, ClosedConnectionsRefuseWork) {
  DbConnection connection;
  EXPECT_AUTOMATION_ERROR(connection.session(), kDbObjectClosed);
  connection.Open(SqliteConnection(path_));
  EXPECT_AUTOMATION_ERROR(connection.Open(SqliteConnection(path_)), kDbConnectionFailed);
  EXPECT_TRUE(connection.is_open()) << "a second Open leaves the first session alone";
  connection.Close();
  EXPECT_AUTOMATION_ERROR(connection.Close(), kDbObjectClosed);
  connection.Open(SqliteConnection(path_));
  EXPECT_EQ(connection.session().Execute("SELECT x FROM t").rows.size(), 1u) << "it opens again";
}

TEST_F(DbRecordsetTest, StepsCountAndFieldsFollowTheCursor) {
  auto set = OpenSet("EXEC SP_Notas 0");
  Value id = set->Fields("nota_fiscal_id");
  Value emitted = set->Fields("Emissão");
  ASSERT_EQ(id.kind(), Kind::kObject);
  set->MoveLast();
  set->MoveFirst();
  ASSERT_EQ(set->RecordCount(), 3);
  std::vector<Value> ids, dates;
  while (!set->eof()) {
    ids.push_back(Plain(id));
    dates.push_back(Plain(emitted));
    set->MoveNext();
  }
  EXPECT_EQ(ids, (std::vector<Value>{Value::Int32(10), Value::Int32(20), Value::Int32(30)}));
  EXPECT_EQ(dates[0].kind(), Kind::kDate);
  EXPECT_EQ(dates[1], Value::Null());
  EXPECT_AUTOMATION_ERROR(set->MoveNext(), kDbNoCurrentRecord);
  EXPECT_AUTOMATION_ERROR(Plain(id), kDbNoCurrentRecord);
  set->MoveLast();
  // Fields are found in any ASCII letter case; other letters match as written.
  EXPECT_EQ(Plain(set->Fields("nUmErO_nOtA")), Value::String("NF-3"));
  EXPECT_EQ(Plain(set->Fields("EMISSãO")).kind(), Kind::kDate);
  EXPECT_AUTOMATION_ERROR(set->Fields("EMISSÃO"), kDbItemNotFound);
  EXPECT_AUTOMATION_ERROR_SAYING(set->Fields("Data_Emissao"), kDbItemNotFound, "Data_Emissao");
  // A result outlives its connection, not its set.
  connection_->Close();
  set->MoveFirst();
  EXPECT_EQ(Plain(id), Value::Int32(10));
  set->Close();
  EXPECT_AUTOMATION_ERROR(Plain(id), kDbObjectClosed);

  connection_->Open(SqliteConnection(path_));
  auto empty = OpenSet("EXEC SP_Notas 99");
  EXPECT_EQ(empty->RecordCount(), 0);
  empty->MoveLast();
  EXPECT_TRUE(empty->eof());
  EXPECT_AUTOMATION_ERROR(Plain(empty->Fields("Numero_Nota")), kDbNoCurrentRecord);
}

// A field belongs to one result; a closed set refuses work, an open one another open.
TEST_F(DbRecordsetTest, AClosedSetRefusesWorkAndAnOpenOneAnotherOpen) {
  DbRecordset set;
  for (const auto& use : std::vector<std::function<void()>>{
           [&] { set.eof(); }, [&] { set.RecordCount(); }, [&] { set.MoveFirst(); },
           [&] { set.MoveNext(); }, [&] { set.Fields("x"); }, [&] { set.Close(); },
           [&] { set.Open("SELECT 1", std::make_shared<DbConnection>()); }}) {
    EXPECT_AUTOMATION_ERROR(use(), kDbObjectClosed);
  }
  EXPECT_AUTOMATION_ERROR(set.Open("SELECT 1", DbConnectionRef()), kDbConnectionFailed);
  EXPECT_AUTOMATION_ERROR(set.Open("SELECT nothing", connection_), kDbCommandFailed);
  EXPECT_FALSE(set.is_open());
  set.Open("EXEC SP_Notas 0", connection_);
  Value id = set.Fields("NOTA_FISCAL_ID");
  EXPECT_AUTOMATION_ERROR(set.Open("SELECT 2 AS one", connection_), kDbCommandFailed);
  EXPECT_EQ(Plain(id), Value::Int32(10));
  set.Close();
  set.Open("SELECT 'other' AS NOTA_FISCAL_ID", connection_);
  EXPECT_AUTOMATION_ERROR(Plain(id), kDbObjectClosed);
  auto other = std::make_unique<DbRecordset>();
  other->Open("SELECT 1 AS one", connection_);
  Value one = other->Fields("one");
  other.reset();
  EXPECT_AUTOMATION_ERROR(Plain(one), kDbObjectClosed);
}

TEST_F(DbRecordsetTest, ASetOpenedOnAConnectionStringOwnsItsConnection) {
  // Without pooling, the private connection is the file's only session.
  const std::string unpooled = "Provider=SQLite;Pooling=false;Data Source=" + path_.string();
  connection_->Close();
  const int pooled = OpenDescriptors(path_);  // the fixture's, idle in the pool
  {
    DbRecordset set;
    set.Open("EXEC SP_Notas 30", SqliteConnection(path_));
    EXPECT_EQ(OpenDescriptors(path_), pooled) << "the idle session was lent, none opened";
    set.Close();
    set.Open("EXEC SP_Notas 30", unpooled);
    EXPECT_EQ(Plain(set.Fields("Numero_Nota")), Value::String("NF-3"));
    EXPECT_EQ(OpenDescriptors(path_), pooled + 1);
    set.Close();
    EXPECT_EQ(OpenDescriptors(path_), pooled) << "Close closes the private connection";
    set.Open("EXEC SP_Notas 0", unpooled);
  }
  EXPECT_EQ(OpenDescriptors(path_), pooled) << "and so does the set's end";
  DbRecordset failing;
  EXPECT_AUTOMATION_ERROR(failing.Open("EXEC SP_Nowhere", unpooled), kDbCommandFailed);
  EXPECT_EQ(OpenDescriptors(path_), pooled) << "a failed command leaves no connection behind";
}

using CommandTraceTest = DbTest;

TEST_F(CommandTraceTest, EachCommandIsTracedAsSentWithItsRowsOrError) {
  std::vector<std::string> traced;
  {
    testing::CommandLog log;
    for (const char* sql : {"Exec SP_Notas  20", "  SELECT * FROM t  ", "Exec SP_Notas  99 "}) {
      DbRecordset().Open(sql, connection_);
    }
    EXPECT_AUTOMATION_ERROR(DbRecordset().Open("EXEC SP_Nowhere 1", connection_), kDbCommandFailed);
    // Opening a connection sends nothing, whether it succeeds or not.
    DbRecordset().Open("SELECT 1", SqliteConnection(path_));
    EXPECT_AUTOMATION_ERROR(DbRecordset().Open("SELECT 1", SqliteConnection(dir_ / "no.db")),
                            kDbConnectionFailed);
    for (const CommandTrace& trace : log.traces()) {
      ASSERT_EQ(trace.error.has_value(), !trace.rows.has_value()) << trace.sql;
      traced.push_back(trace.sql + " -> " +
                       (trace.rows ? std::to_string(*trace.rows) : trace.error->description()));
    }
  }
  DbRecordset().Open("SELECT 2", connection_);  // a sink left behind would be called here
  EXPECT_EQ(traced,
            (std::vector<std::string>{
                "Exec SP_Notas  20 -> 2", "  SELECT * FROM t   -> 1", "Exec SP_Notas  99  -> 0",
                "EXEC SP_Nowhere 1 -> procedure SP_Nowhere not found", "SELECT 1 -> 1"}))
      << "the catalog lookups are not traced";
}

TEST_F(CommandTraceTest, SessionsOnSeveralThreadsShareTheSink) {
  testing::CommandLog first;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this] {
      auto connection = std::make_shared<DbConnection>();
      connection->Open(SqliteConnection(path_));
      for (int i = 0; i < 25; ++i) DbRecordset().Open("EXEC SP_Notas 7", connection);
    });
  }
  testing::CommandLog second;  // set while they trace, as any thread may
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(first.traces().size() + second.traces().size(), 100u);
}

}  // namespace
}  // namespace zebevi
