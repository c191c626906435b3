#include "support/command_log.h"

namespace zebevi::testing {

std::vector<std::string> CommandLog::commands() const {
  std::vector<std::string> sql;
  for (const CommandTrace& trace : traces()) sql.push_back(trace.sql);
  return sql;
}

std::string Detail(std::string_view prefix, const Error& error, int label) {
  return std::string(prefix) + error.description() + " : " + std::to_string(error.number()) +
         ")  " + " No Nº " + std::to_string(label);
}

}  // namespace zebevi::testing
