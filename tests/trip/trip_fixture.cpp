#include "trip_fixture.h"

#include "frame/trap.h"
#include "zebevi/evi.h"

namespace zebevi::testing {

const Value kClientes{std::string(frame::kClientesText)};

FixtureDatabase::FixtureDatabase(std::string_view sql) : path_(dir_ / "fixture.db") {
  RunSqlScript(path_,
               "CREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE, "
               "body TEXT NOT NULL);");
  RunSqlScript(path_, sql);
}

DbConnectionRef FixtureDatabase::Open() const {
  auto connection = std::make_shared<DbConnection>();
  connection->Open(connection_string());
  return connection;
}

UncreatableRules::UncreatableRules() {
  SetValueRulesFactory([] { return std::unique_ptr<ValueRules>(); });
}

UncreatableRules::~UncreatableRules() { SetValueRulesFactory(CreateValueRules); }

Error UncreatableRules::failure() const {
  try {
    Rules();
  } catch (const Error& error) {
    return error;
  }
  ADD_FAILURE() << "the value rules were created";
  return Error(0, "");
}

SummaryCall::SummaryCall(std::string connection_string, Value document)
    : conecta(std::move(connection_string)), docto(std::move(document)) {
  out.fill(Value("in"));
}

void SummaryCall::Run() {
  auto& o = out;
  status = CreateEVI()->gConsulta_Espelho_Viagem(
      conecta, user, grupo_usuario, cliente, grupo_cliente, docto, o[0], o[1], o[2], o[3], o[4],
      o[5], o[6], o[7], o[8], o[9], o[10], o[11], o[12], o[13], o[14], o[15], o[16], o[17], o[18],
      o[19], o[20], o[21], o[22], o[23], o[24], o[25], o[26], o[27], o[28], o[29], o[30], o[31],
      o[32], o[33], o[34], o[35], o[36], o[37], o[38], o[39], message);
}

std::vector<int> SummaryCall::untouched() const {
  std::vector<int> outputs;
  for (int i = 0; i < kOutputs; ++i) {
    if (out[i] == Value("in")) outputs.push_back(i);
  }
  return outputs;
}

std::vector<Value> SummaryCall::parameters() const {
  std::vector<Value> all{conecta, user, grupo_usuario, cliente, grupo_cliente, docto};
  all.insert(all.end(), out.begin(), out.end());
  all.push_back(message);
  return all;
}

}  // namespace zebevi::testing
