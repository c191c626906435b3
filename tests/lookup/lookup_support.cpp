#include "lookup/lookup_support.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace zebevi::testing {

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

ValueArray Items(const Value& list) {
  if (list.kind() != Kind::kArray) {
    ADD_FAILURE() << "not a list: " << ::testing::PrintToString(list);
    return {};
  }
  return list.array();
}

}  // namespace zebevi::testing
