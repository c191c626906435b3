#include "lookup/lookup_support.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace zebevi::testing {

CommandLog::CommandLog() {
  SetCommandTraceSink([this](const CommandTrace& trace) { commands_.push_back(trace.sql); });
}

CommandLog::~CommandLog() { SetCommandTraceSink(nullptr); }

void WriteProcedureDb(const std::filesystem::path& path, std::string_view sql,
                      std::string_view procedure, std::string_view body) {
  std::string quoted;
  for (char c : body) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  RunSqlScript(path, std::string(sql) +
                         "\nCREATE TABLE zeb_procedure (name TEXT PRIMARY KEY COLLATE NOCASE, "
                         "body TEXT NOT NULL);\nINSERT INTO zeb_procedure VALUES ('" +
                         std::string(procedure) + "', '" + quoted + "');");
}

Error RefusalOf(const std::string& connection_string) {
  try {
    DbConnection().Open(connection_string);
  } catch (const Error& e) {
    return e;
  }
  ADD_FAILURE() << connection_string << " was not refused";
  return Error(0, "");
}

std::string Detail(std::string_view prefix, const Error& e, int label) {
  return std::string(prefix) + e.description() + " : " + std::to_string(e.number()) + ")   No Nº " +
         std::to_string(label);
}

ValueArray Items(const Value& list) {
  if (list.kind() != Kind::kArray) {
    ADD_FAILURE() << "not a list: " << ::testing::PrintToString(list);
    return {};
  }
  return list.array();
}

}  // namespace zebevi::testing
