// The feature flags of a user group, end to end: the entry operation on a
// connection string, the inner query on a connection; on a fixture SQLite
// database for the edges and on the reference data set of every engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "frame/trap.h"
#include "support/engines.h"
#include "support/test_support.h"
#include "zebevi/db.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

using ::zebevi::testing::RunSqlScript;
using ::zebevi::testing::SqliteConnection;
using ::zebevi::testing::TempDir;

const std::string kClientes(frame::kClientesText);
const std::string kTracking(frame::kTrackingText);
const std::string kNoGrants = "Direitos do grupo do usuário não cadastrados.";

// Group 1: 114 and 126 granted, 115 refused. Group 2: a code outside the
// range, 117 twice and a refused 120. Group 3: refusals only.
constexpr std::string_view kGrants = R"sql(
CREATE TABLE PARTICUL_FUNCAO (PARTICUL_FUNCAO_ID INTEGER PRIMARY KEY, desc_particul_funcao TEXT);
CREATE TABLE GRUPO_USUARIO_PARTICUL (GRUPO_USUARIO_PARTICUL_ID INTEGER PRIMARY KEY,
  Grupo_Usuario_Id INTEGER, PARTICUL_FUNCAO_ID INTEGER, presenca_particularidade TEXT);
INSERT INTO PARTICUL_FUNCAO VALUES (114, 'Pedido'), (115, 'Conhecimento'), (117, 'Carreta'),
  (120, 'Viagem'), (126, 'Cliente'), (300, 'Outra');
INSERT INTO GRUPO_USUARIO_PARTICUL VALUES (1, 1, 126, 'S'), (2, 1, 115, 'N'), (3, 1, 114, 'S'),
  (4, 2, 300, 'S'), (5, 2, 117, 'S'), (6, 2, 117, 'S'), (7, 2, 120, 'N'), (8, 3, 114, 'N');
)sql";
const std::string kNone = "NNNNNNNNNNNNN";
const std::string kAsPassed = "7777777777777";

// What a call left: its status (or result), the thirteen flags in parameter
// order (codes 114 to 126) as one letter each ('7' the value passed in, '?'
// anything else) and the message.
struct Outcome {
  Value status;
  std::array<Value, 13> f;
  Value message = "earlier";

  Outcome() { f.fill(Value::Int32(7)); }
  std::string flags() const {
    std::string shown;
    for (const Value& v : f) {
      shown += v == Value("S") ? 'S' : v == Value("N") ? 'N' : v == Value::Int32(7) ? '7' : '?';
    }
    return shown;
  }
};

Outcome Entry(Value connection_string, Value user, Value group) {
  Outcome o;
  Value company = Value::Int32(1);
  auto& f = o.f;
  o.status = CreateEVI()->gConsulta_Grupo_Usuario_Parti(
      connection_string, user, company, group, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8],
      f[9], f[10], f[11], f[12], o.message);
  return o;
}

Outcome Query(DbConnectionRef connection, Value user, Value group) {
  Outcome o;
  Value company = Value::Int32(1);
  Value connection_text = "unused";
  auto& f = o.f;
  o.status = Value::Boolean(CreateEVI()->mConsulta_Grupo_Usuario_Parti(
      connection, company, group, user, connection_text, f[0], f[1], f[2], f[3], f[4], f[5], f[6],
      f[7], f[8], f[9], f[10], f[11], f[12], o.message));
  return o;
}

class GrupoUsuarioPartiTest : public ::testing::Test {
 protected:
  void SetUp() override { RunSqlScript(path_, kGrants); }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "grants.db";
  Value db_ = SqliteConnection(path_);
};

TEST_F(GrupoUsuarioPartiTest, GrantedCodesInRangeSetTheirFlagsSentAsWritten) {
  const std::tuple<Value, Value, std::string, std::string> cases[] = {
      {Value::Int32(5), Value::Int32(1), "SNNNNNNNNNNNS", "earlier"},
      // A code outside the range and a repeated one change nothing more.
      {Value::Int32(5), Value("2"), "NNNSNNNNNNNNN", "earlier"},
      {Value::Int32(1), Value::Int32(3), kNone, kNoGrants},
      {Value::Int32(1), Value::Int32(99), kNone, kNoGrants},
      {Value::Int32(1), Value(), kNone, kNoGrants},
  };
  for (const auto& [user, group, flags, message] : cases) {
    SCOPED_TRACE(::testing::PrintToString(group));
    const Outcome o = Entry(db_, user, group);
    EXPECT_EQ(std::tie(o.status, o.message), std::tuple(Value::Int16(0), Value(message)));
    EXPECT_EQ(o.flags(), flags);
  }

  std::vector<std::string> commands;
  SetCommandTraceSink([&](const CommandTrace& t) { commands.push_back(t.sql); });
  Entry(db_, Value::Int32(5), Value::Double(1));
  Entry(db_, Value::Int32(5), Value());
  SetCommandTraceSink(nullptr);
  const std::string head =
      "SELECT GRP.GRUPO_USUARIO_PARTICUL_ID, GRP.PARTICUL_FUNCAO_ID, PFU.desc_particul_funcao "
      "FROM GRUPO_USUARIO_PARTICUL GRP, PARTICUL_FUNCAO PFU "
      "Where GRP.PARTICUL_FUNCAO_ID = PFU.PARTICUL_FUNCAO_ID AND grp.Grupo_Usuario_Id = ";
  EXPECT_EQ(commands, (std::vector<std::string>{head + "1 And presenca_particularidade = 'S'",
                                                head + "NULL And presenca_particularidade = 'S'"}));
}

// The flags are all set to "N" before the query runs; the inner query
// never closes its connection.
TEST_F(GrupoUsuarioPartiTest, AFailedQueryGivesTheTrackingTextWithItsLabel) {
  auto connection = std::make_shared<DbConnection>();
  connection->Open(SqliteConnection(path_));
  const Outcome ok = Query(connection, Value::Int32(1), Value::Int32(1));
  EXPECT_EQ(std::tie(ok.status, ok.message), std::tuple(Value::Boolean(true), Value("earlier")));
  EXPECT_EQ(ok.flags(), "SNNNNNNNNNNNS");
  EXPECT_TRUE(connection->is_open());

  const Outcome none = Query(nullptr, Value::Int32(1), Value::Int32(1));
  EXPECT_EQ(none.status, Value::Boolean(false));
  EXPECT_EQ(none.flags(), kNone);
  EXPECT_EQ(none.message, Value(kTracking + "( no connection was given for the command : " +
                                std::to_string(kDbConnectionFailed) + ")   No Nº 5120"));

  RunSqlScript(path_, "DROP TABLE PARTICUL_FUNCAO;");
  const Outcome plain = Entry(db_, Value::Int32(2), Value::Int32(1));
  EXPECT_EQ(std::tie(plain.status, plain.message), std::tuple(Value::Int16(10), Value(kTracking)));
  EXPECT_EQ(plain.flags(), kNone);
  const Outcome diagnostic = Entry(db_, Value("1"), Value::Int32(1));
  EXPECT_EQ(diagnostic.status, Value::Int16(10));
  const std::string text = diagnostic.message.string();
  EXPECT_EQ(text.rfind(kTracking + "( ", 0), 0u) << text;
  EXPECT_TRUE(text.ends_with(" : " + std::to_string(kDbCommandFailed) + ")   No Nº 5120")) << text;
}

// A connection string that is no text fails as a refused one does.
TEST_F(GrupoUsuarioPartiTest, ARefusedConnectionReportsLabelZeroAndKeepsTheFlags) {
  const Value refused = "sqlite:/nonexistent/x.db";
  const std::pair<Value, Error> cases[] = {
      {refused, testing::FailureOf([&] { DbConnection().Open(refused.string()); })},
      {Value::Null(), Error::InvalidUseOfNull()}};
  for (const auto& [connection, error] : cases) {
    const Outcome diagnostic = Entry(connection, Value::Int32(1), Value::Int32(1));
    EXPECT_EQ(diagnostic.status, Value::Int16(10));
    EXPECT_EQ(diagnostic.message,
              Value(kClientes + "ZebEVI.gConsulta_Grupo_Usuario_Parti ( " + error.description() +
                    " : " + std::to_string(error.number()) + ")   No Nº 0"));
    EXPECT_EQ(diagnostic.flags(), kAsPassed);
    for (const Value& user : {Value::Int32(2), Value(), Value::Null()}) {
      const Outcome plain = Entry(connection, user, Value::Int32(1));
      EXPECT_EQ(std::tie(plain.status, plain.message),
                std::tuple(Value::Int16(10), Value(kClientes)));
    }
  }
}

class GrupoUsuarioPartiOnEngines : public testing::EngineTest {};

// The group with several grants and some refusals: exactly its present
// grants, read straight from the table, come back. (The other groups and
// the inner query: the engines agree over every operation's calls, in the
// trip tests.)
TEST_P(GrupoUsuarioPartiOnEngines, MatchesTheGrantsOfTheReferenceData) {
  const std::int64_t group = reference().summary.granted_user_group_id;
  DbRecordset rows;
  rows.Open(
      "SELECT PARTICUL_FUNCAO_ID AS code FROM GRUPO_USUARIO_PARTICUL WHERE Grupo_Usuario_Id = " +
          std::to_string(group) +
          " AND presenca_particularidade = 'S' AND PARTICUL_FUNCAO_ID BETWEEN 114 AND 126",
      reference().connection_string);
  std::string present = kNone;
  for (; !rows.eof(); rows.MoveNext()) present[ToInt32(Plain(rows.Fields("code"))) - 114] = 'S';
  ASSERT_GE(std::count(present.begin(), present.end(), 'S'), 2);

  const Outcome granted = Entry(reference().connection_string, Value::Int32(5),
                                Value::Int32(static_cast<std::int32_t>(group)));
  EXPECT_EQ(std::tie(granted.status, granted.message),
            std::tuple(Value::Int16(0), Value("earlier")));
  EXPECT_EQ(granted.flags(), present);
}

ZEBEVI_INSTANTIATE_ON_ENGINES(GrupoUsuarioPartiOnEngines);

}  // namespace
}  // namespace zebevi
