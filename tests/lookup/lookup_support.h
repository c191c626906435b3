// Helpers of the lookup tests: the commands sent, fixture databases holding
// one procedure, the trap's detail and list outputs.
#ifndef ZEBEVI_TESTS_LOOKUP_LOOKUP_SUPPORT_H_
#define ZEBEVI_TESTS_LOOKUP_LOOKUP_SUPPORT_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "frame/trap.h"
#include "support/command_log.h"
#include "zebevi/db.h"
#include "zebevi/error.h"
#include "zebevi/value.h"

namespace zebevi::testing {

inline const std::string kClientes(frame::kClientesText);

// Writes `sql` (tables and rows) into `path`, with a procedure table that
// holds `procedure` whose body is `body` (parameters ?1..?N).
void WriteProcedureDb(const std::filesystem::path& path, std::string_view sql,
                      std::string_view procedure, std::string_view body);

// The failure that opening `connection_string` raises.
Error RefusalOf(const std::string& connection_string);

// The array a list output holds, as plain values.
ValueArray Items(const Value& list);

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_LOOKUP_LOOKUP_SUPPORT_H_
