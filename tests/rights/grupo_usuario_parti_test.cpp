// The feature flags of a user group, end to end: the entry operation on a
// connection string, the inner query on a connection; on a fixture SQLite
// database for the edges and on the reference data set of every engine.
#include <gtest/gtest.h>

#include <array>
#include <set>
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

// The thirteen flags, in parameter order (codes 114 to 126).
struct Flags {
  std::array<Value, 13> v;
  std::vector<int> Granted() const {
    std::vector<int> codes;
    for (int k = 0; k < 13; ++k) {
      if (v[k] == Value("S")) codes.push_back(114 + k);
    }
    return codes;
  }
  bool AllAre(const Value& expected) const {
    for (const Value& flag : v) {
      if (!(flag == expected)) return false;
    }
    return true;
  }
};

struct Outcome {
  Value status;
  Flags flags;
  Value message;
};

Outcome Entry(Value connection_string, Value user, Value group,
              Value flag_start = Value::Int32(7)) {
  Outcome o;
  o.flags.v.fill(flag_start);
  o.message = "earlier";
  Value company = Value::Int32(1);
  auto& f = o.flags.v;
  o.status = CreateEVI()->gConsulta_Grupo_Usuario_Parti(
      connection_string, user, company, group, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8],
      f[9], f[10], f[11], f[12], o.message);
  return o;
}

struct Inner {
  bool result;
  Flags flags;
  Value message;
};

Inner Query(DbConnectionRef connection, Value user, Value group) {
  Inner o{};
  o.flags.v.fill(Value::Int32(7));
  o.message = "earlier";
  Value company = Value::Int32(1);
  Value connection_text = "unused";
  auto& f = o.flags.v;
  o.result = CreateEVI()->mConsulta_Grupo_Usuario_Parti(
      connection, company, group, user, connection_text, f[0], f[1], f[2], f[3], f[4], f[5], f[6],
      f[7], f[8], f[9], f[10], f[11], f[12], o.message);
  return o;
}

class GrupoUsuarioPartiTest : public ::testing::Test {
 protected:
  void SetUp() override { RunSqlScript(path_, kGrants); }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "grants.db";
  Value db_ = SqliteConnection(path_);
};

TEST_F(GrupoUsuarioPartiTest, GrantedCodesInRangeSetTheirFlagsAndTheRestSayN) {
  struct Case {
    Value user, group;
    std::vector<int> granted;
    std::string message;
  };
  const Case cases[] = {
      {Value::Int32(5), Value::Int32(1), {114, 126}, "earlier"},
      // A code outside the range and a repeated one change nothing more.
      {Value::Int32(5), Value("2"), {117}, "earlier"},
      {Value::Int32(1), Value::Int32(3), {}, kNoGrants},
      {Value::Int32(1), Value::Int32(99), {}, kNoGrants},
      {Value::Int32(1), Value(), {}, kNoGrants},
  };
  for (const Case& c : cases) {
    const Outcome o = Entry(db_, c.user, c.group);
    SCOPED_TRACE(::testing::PrintToString(c.group));
    EXPECT_EQ(o.status, Value::Int16(0));
    EXPECT_EQ(o.flags.Granted(), c.granted);
    for (int k = 0; k < 13; ++k) {
      if (!(o.flags.v[k] == Value("S"))) {
        EXPECT_EQ(o.flags.v[k], Value("N")) << 114 + k;
      }
    }
    EXPECT_EQ(o.message, Value(c.message));
  }
}

TEST_F(GrupoUsuarioPartiTest, SendsTheSelectAsWritten) {
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

TEST_F(GrupoUsuarioPartiTest, AFailedQueryGivesTheTrackingTextAndStatusTen) {
  RunSqlScript(path_, "DROP TABLE PARTICUL_FUNCAO;");
  const Outcome plain = Entry(db_, Value::Int32(2), Value::Int32(1));
  EXPECT_EQ(plain.status, Value::Int16(10));
  EXPECT_EQ(plain.message, Value(kTracking));
  // The flags were all set to "N" before the query ran.
  EXPECT_TRUE(plain.flags.AllAre(Value("N")));

  const Outcome diagnostic = Entry(db_, Value("1"), Value::Int32(1));
  EXPECT_EQ(diagnostic.status, Value::Int16(10));
  const std::string text = diagnostic.message.string();
  EXPECT_EQ(text.rfind(kTracking + "( ", 0), 0u) << text;
  EXPECT_NE(text.find(" : " + std::to_string(kDbCommandFailed) + ")   No Nº 5120"),
            std::string::npos)
      << text;
}

TEST_F(GrupoUsuarioPartiTest, TheInnerQueryReportsTheStepThatFailed) {
  auto connection = std::make_shared<DbConnection>();
  connection->Open(SqliteConnection(path_));
  const Inner ok = Query(connection, Value::Int32(1), Value::Int32(1));
  EXPECT_TRUE(ok.result);
  EXPECT_EQ(ok.flags.Granted(), (std::vector<int>{114, 126}));
  EXPECT_TRUE(connection->is_open()) << "the inner query never closes its connection";

  const Inner none = Query(nullptr, Value::Int32(1), Value::Int32(1));
  EXPECT_FALSE(none.result);
  EXPECT_TRUE(none.flags.AllAre(Value("N")));
  EXPECT_EQ(none.message, Value(kTracking + "( no connection was given for the command : " +
                                std::to_string(kDbConnectionFailed) + ")   No Nº 5120"));
}

TEST_F(GrupoUsuarioPartiTest, ARefusedConnectionReportsLabelZeroAndKeepsTheFlags) {
  const Value refused = "sqlite:/nonexistent/x.db";
  Error refusal(0, "");
  try {
    DbConnection().Open(refused.string());
  } catch (const Error& e) {
    refusal = e;
  }
  ASSERT_NE(refusal.number(), 0);
  const std::string prefix = kClientes + "ZebEVI.gConsulta_Grupo_Usuario_Parti ( ";
  // A connection string that is no text fails in the same way.
  const std::pair<Value, Error> cases[] = {{refused, refusal},
                                           {Value::Null(), Error::InvalidUseOfNull()}};
  for (const auto& [connection, error] : cases) {
    const Outcome diagnostic = Entry(connection, Value::Int32(1), Value::Int32(1));
    EXPECT_EQ(diagnostic.status, Value::Int16(10));
    EXPECT_EQ(diagnostic.message, Value(prefix + error.description() + " : " +
                                        std::to_string(error.number()) + ")   No Nº 0"));
    EXPECT_TRUE(diagnostic.flags.AllAre(Value::Int32(7)));
    for (const Value& user : {Value::Int32(2), Value(), Value::Null()}) {
      const Outcome plain = Entry(connection, user, Value::Int32(1));
      EXPECT_EQ(plain.status, Value::Int16(10));
      EXPECT_EQ(plain.message, Value(kClientes));
    }
  }
}

class GrupoUsuarioPartiOnEngines : public testing::EngineTest {
 protected:
  // The codes of the flags that `group` is granted, read straight from the
  // table.
  std::set<int> PresentGrants(std::int64_t group) const {
    DbRecordset rows;
    rows.Open(
        "SELECT PARTICUL_FUNCAO_ID AS code FROM GRUPO_USUARIO_PARTICUL WHERE Grupo_Usuario_Id = " +
            std::to_string(group) +
            " AND presenca_particularidade = 'S' AND PARTICUL_FUNCAO_ID BETWEEN 114 AND 126",
        reference().connection_string);
    std::set<int> codes;
    for (; !rows.eof(); rows.MoveNext()) codes.insert(ToInt32(Plain(rows.Fields("code"))));
    return codes;
  }
  Value Group(std::int64_t id) const { return Value::Int32(static_cast<std::int32_t>(id)); }
};

// The group with several grants and some refusals: exactly its present
// grants come back. (The other groups and the inner query: the engines
// agree over every operation's calls, in the trip tests.)
TEST_P(GrupoUsuarioPartiOnEngines, MatchesTheGrantsOfTheReferenceData) {
  const schema::GeneratorSummary& summary = reference().summary;
  const std::set<int> present = PresentGrants(summary.granted_user_group_id);
  ASSERT_GE(present.size(), 2u);

  const Value db_string(reference().connection_string);
  const Outcome granted = Entry(db_string, Value::Int32(5), Group(summary.granted_user_group_id));
  EXPECT_EQ(granted.status, Value::Int16(0)) << granted.message.string();
  const std::vector<int> codes = granted.flags.Granted();
  EXPECT_EQ(std::set<int>(codes.begin(), codes.end()), present);
  EXPECT_EQ(codes.size(), present.size());
  EXPECT_EQ(granted.message, Value("earlier"));
}

ZEBEVI_INSTANTIATE_ON_ENGINES(GrupoUsuarioPartiOnEngines);

}  // namespace
}  // namespace zebevi
