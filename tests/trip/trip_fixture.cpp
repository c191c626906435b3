#include "trip_fixture.h"

#include "frame/trap.h"

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

CommandLog::CommandLog() {
  SetCommandTraceSink([this](const CommandTrace& trace) { traces_.push_back(trace); });
}

CommandLog::~CommandLog() { SetCommandTraceSink(nullptr); }

std::vector<std::string> CommandLog::commands() const {
  std::vector<std::string> sql;
  for (const CommandTrace& trace : traces_) sql.push_back(trace.sql);
  return sql;
}

const Error& CommandLog::last_error() const { return traces_.at(traces_.size() - 1).error.value(); }

std::string Detail(std::string_view prefix, const Error& error, int label) {
  return std::string(prefix) + error.description() + " : " + std::to_string(error.number()) +
         ")  " + " No Nº " + std::to_string(label);
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

}  // namespace zebevi::testing
