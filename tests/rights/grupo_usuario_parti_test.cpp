// The feature flags of a user group, end to end on a fixture SQLite
// database: the entry operation on a connection string, the inner query on
// a connection. (On the reference data set the engines agree over every
// operation's calls, in the trip tests.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/trap.h"
#include "support/command_log.h"
#include "support/operation_calls.h"
#include "support/test_support.h"
#include "zebevi/db.h"

namespace zebevi::testing {
namespace {

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
const std::string kAsPassed = "-------------";

// The thirteen flags a call left, in parameter order (codes 114 to 126),
// one letter each: 'S', 'N', '-' for the marker passed in, '?' for anything
// else.
std::string Flags(const OperationCall& call) {
  std::string shown;
  for (std::size_t i = 0; i < call.args.size(); ++i) {
    if (!call.op->params[i].name.starts_with("outvntFlag_")) continue;
    const Value& v = std::get<Value>(call.args[i]);
    shown += v == Value("S") ? 'S' : v == Value("N") ? 'N' : v == Value("in") ? '-' : '?';
  }
  return shown;
}

// gConsulta_Grupo_Usuario_Parti on `connection_string`, its flags marked,
// `more` over the user and the group.
OperationCall Entry(const std::string& connection_string, Value user, Value group,
                    const Inputs& more = {}) {
  const char* op = "gConsulta_Grupo_Usuario_Parti";
  return OperationCall(op,
                       Marked(op, With({{"invntUsuario_Internet_id", std::move(user)},
                                        {"invntGrupo_Usuario_Id", std::move(group)},
                                        {"outvntMsg_ret", "earlier"}},
                                       more)),
                       connection_string);
}

class GrupoUsuarioPartiTest : public ::testing::Test {
 protected:
  void SetUp() override { RunSqlScript(path_, kGrants); }

  TempDir dir_;
  std::filesystem::path path_ = dir_ / "grants.db";
  std::string db_ = SqliteConnection(path_);
};

TEST_F(GrupoUsuarioPartiTest, GrantedCodesInRangeSetTheirFlagsSentAsWritten) {
  const std::tuple<Value, Value, std::string, std::string> cases[] = {
      {Value::Int32(5), Value::Int32(1), "SNNNNNNNNNNNS", "earlier"},
      // A code outside the range and a repeated one change nothing more.
      {Value::Int32(5), Value("2"), "NNNSNNNNNNNNN", "earlier"},
      {Value::Int32(1), Value::Int32(3), kNone, kNoGrants},
      {Value::Int32(1), Value(), kNone, kNoGrants},
  };
  for (const auto& [user, group, flags, message] : cases) {
    SCOPED_TRACE(::testing::PrintToString(group));
    const OperationCall o = Entry(db_, user, group);
    EXPECT_EQ(std::tuple(o.result, o["outvntMsg_ret"], Flags(o)),
              std::tuple(Value::Int16(0), Value(message), flags));
  }

  CommandLog log;
  Entry(db_, Value::Int32(5), Value::Double(1));
  Entry(db_, Value::Int32(5), Value());
  const std::string head =
      "SELECT GRP.GRUPO_USUARIO_PARTICUL_ID, GRP.PARTICUL_FUNCAO_ID, PFU.desc_particul_funcao "
      "FROM GRUPO_USUARIO_PARTICUL GRP, PARTICUL_FUNCAO PFU "
      "Where GRP.PARTICUL_FUNCAO_ID = PFU.PARTICUL_FUNCAO_ID AND grp.Grupo_Usuario_Id = ";
  EXPECT_EQ(log.commands(),
            (std::vector<std::string>{head + "1 And presenca_particularidade = 'S'",
                                      head + "NULL And presenca_particularidade = 'S'"}));
}

// The flags are all set to "N" before the query runs; the inner query
// never closes its connection.
TEST_F(GrupoUsuarioPartiTest, AFailedQueryGivesTheTrackingTextWithItsLabel) {
  const char* inner = "mConsulta_Grupo_Usuario_Parti";
  const Inputs group{{"invntGrupo_Usuario_Id", Value::Int32(1)},
                     {"invntUsuario_Internet_id", Value::Int32(1)}};
  const OperationCall ok(inner, Marked(inner, group), db_);
  EXPECT_EQ(std::tuple(ok.result, Flags(ok)), std::tuple(Value::Boolean(true), "SNNNNNNNNNNNS"));
  EXPECT_TRUE(std::get<DbConnectionRef>(ok.args[0])->is_open());
  const OperationCall none(inner, With(group, {{"inOdb", Value()}}), db_);
  EXPECT_EQ(std::tuple(none.result, Flags(none), none["outvntMsg_ret"]),
            std::tuple(Value::Boolean(false), kNone,
                       Value(kTracking + "( no connection was given for the command : " +
                             std::to_string(kDbConnectionFailed) + ")   No Nº 5120")));

  RunSqlScript(path_, "DROP TABLE PARTICUL_FUNCAO;");
  const OperationCall plain = Entry(db_, Value::Int32(2), Value::Int32(1));
  EXPECT_EQ(std::tuple(plain.result, plain["outvntMsg_ret"], Flags(plain)),
            std::tuple(Value::Int16(10), Value(kTracking), kNone));
  const std::string text = ToString(Entry(db_, Value("1"), Value::Int32(1))["outvntMsg_ret"]);
  EXPECT_EQ(text.rfind(kTracking + "( ", 0), 0u) << text;
  EXPECT_TRUE(text.ends_with(" : " + std::to_string(kDbCommandFailed) + ")   No Nº 5120")) << text;
}

// A connection string that is no text fails as a refused one does.
TEST_F(GrupoUsuarioPartiTest, ARefusedConnectionReportsLabelZeroAndKeepsTheFlags) {
  const std::string refused = "sqlite:/nonexistent/x.db";
  const std::pair<Value, Error> cases[] = {
      {refused, FailureOf([&] { DbConnection().Open(refused); })},
      {Value::Null(), Error::InvalidUseOfNull()}};
  for (const auto& [connection, error] : cases) {
    const Inputs given{{"invntConecta_db", connection}};
    const OperationCall diagnostic = Entry("", Value::Int32(1), Value::Int32(1), given);
    EXPECT_EQ(std::tuple(diagnostic.result, diagnostic["outvntMsg_ret"], Flags(diagnostic)),
              std::tuple(Value::Int16(10),
                         Value(kClientes + "ZebEVI.gConsulta_Grupo_Usuario_Parti ( " +
                               error.description() + " : " + std::to_string(error.number()) +
                               ")   No Nº 0"),
                         kAsPassed));
    EXPECT_EQ(Entry("", Value::Int32(2), Value::Int32(1), given)["outvntMsg_ret"],
              Value(kClientes));
  }
}

}  // namespace
}  // namespace zebevi::testing
