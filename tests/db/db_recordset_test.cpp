#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "support/test_support.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

using ::zebevi::testing::RunSqlScript;
using ::zebevi::testing::SqliteConnection;
using ::zebevi::testing::TempDir;

constexpr std::string_view kSchema = R"sql(
CREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE, body TEXT NOT NULL);
CREATE TABLE nota (NOTA_FISCAL_ID INTEGER PRIMARY KEY, Numero_Nota TEXT, "Emissão" DATE);
INSERT INTO nota VALUES (10, 'NF-1', '2024-01-05'), (20, 'NF-2', NULL), (30, 'NF-3', '2024-01-07');
INSERT INTO zeb_procedure VALUES
  ('SP_Notas', 'SELECT NOTA_FISCAL_ID, Numero_Nota, "Emissão" FROM nota WHERE NOTA_FISCAL_ID >= ?1 ORDER BY 1');
)sql";

// How many of this process's descriptors are open on `path`: one per session.
int OpenDescriptors(const std::filesystem::path& path) {
  int count = 0;
  const auto target = std::filesystem::canonical(path);
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (std::filesystem::read_symlink(entry.path(), ec) == target) ++count;
  }
  return count;
}

class DbRecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunSqlScript(path_, kSchema);
    connection_->Open(SqliteConnection(path_));
  }

  std::unique_ptr<DbRecordset> OpenSet(std::string_view command) {
    auto set = std::make_unique<DbRecordset>();
    set->set_cursor_location(CursorLocation::kClient);
    set->Open(command, connection_);
    return set;
  }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "notas.db";
  DbConnectionRef connection_ = std::make_shared<DbConnection>();
};

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
  EXPECT_EQ(Plain(set->Fields("Numero_Nota")), Value::String("NF-3"));
  // A result outlives its connection, not its set.
  connection_->Close();
  set->MoveFirst();
  EXPECT_EQ(Plain(id), Value::Int32(10));
  set->Close();
  EXPECT_FALSE(set->is_open());
  EXPECT_AUTOMATION_ERROR(Plain(id), kDbObjectClosed);
}

TEST_F(DbRecordsetTest, AnEmptyResultIsAtItsEndFromTheStart) {
  auto set = OpenSet("EXEC SP_Notas 99");
  EXPECT_EQ(set->RecordCount(), 0);
  set->MoveLast();
  set->MoveFirst();
  EXPECT_TRUE(set->eof());
  EXPECT_AUTOMATION_ERROR(set->MoveNext(), kDbNoCurrentRecord);
  EXPECT_AUTOMATION_ERROR(Plain(set->Fields("Numero_Nota")), kDbNoCurrentRecord);
}

TEST_F(DbRecordsetTest, FieldsAreFoundInAnyAsciiLetterCase) {
  auto set = OpenSet("EXEC SP_Notas 20");
  EXPECT_EQ(Plain(set->Fields("nUmErO_nOtA")), Value::String("NF-2"));
  // Other letters match as written.
  EXPECT_EQ(Plain(set->Fields("EMISSãO")), Value::Null());
  EXPECT_AUTOMATION_ERROR(set->Fields("EMISSÃO"), kDbItemNotFound);
  const Error e = testing::FailureOf([&] { set->Fields("Data_Emissao"); });
  EXPECT_EQ(e.number(), kDbItemNotFound);
  EXPECT_NE(e.description().find("Data_Emissao"), std::string::npos) << e.description();
}

// A field belongs to one result; a closed set refuses work, an open one another open.
TEST_F(DbRecordsetTest, AClosedSetRefusesWorkAndAnOpenOneAnotherOpen) {
  DbRecordset set;
  for (const auto& use : std::vector<std::function<void()>>{
           [&] { set.eof(); }, [&] { set.RecordCount(); }, [&] { set.MoveFirst(); },
           [&] { set.MoveLast(); }, [&] { set.MoveNext(); }, [&] { set.Fields("x"); },
           [&] { set.Close(); }, [&] { set.Open("SELECT 1", std::make_shared<DbConnection>()); }}) {
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
  EXPECT_FALSE(failing.is_open());
  EXPECT_EQ(OpenDescriptors(path_), pooled) << "a failed command leaves no connection behind";
  EXPECT_AUTOMATION_ERROR(failing.Open("SELECT 1", SqliteConnection(dir_ / "missing.db")),
                          kDbConnectionFailed);
}

}  // namespace
}  // namespace zebevi
