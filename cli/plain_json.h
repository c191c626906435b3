// The friendly verbs' JSON: plain JSON values (not the tagged form of
// `zebevi call`) under the operation's own parameter names, so a script can
// compare a verb's answer with the call's parameters name by name.
#ifndef ZEBEVI_CLI_PLAIN_JSON_H_
#define ZEBEVI_CLI_PLAIN_JSON_H_

#include <iosfwd>
#include <string_view>
#include <vector>

#include "cli/json_value.h"
#include "cli/operation_call.h"
#include "zebevi/value.h"

namespace zebevi::cli {

// Strings, numbers and Booleans as themselves, dates as
// "YYYY-MM-DDTHH:MM:SS" (as `zebevi call` writes them), lists as arrays,
// Empty, Null and objects as null.
Json PlainJson(const Value& value);

// {"NAME": value, ...} for the named parameters of a call.
Json ParamsJson(const OperationCall& call, const std::vector<std::string_view>& params);

// The parallel lists `lists` of a call as rows: element i of each list
// under the list's name in row i, as many rows as the first list has.
Json RowsJson(const OperationCall& call, const std::vector<std::string_view>& lists);

// The call's outvntMsg_ret: its text, or null when it holds none.
Json MessageJson(const OperationCall& call);

// Writes `json` on one line; invalid UTF-8 is replaced, never a failure.
void PrintJson(std::ostream& out, const Json& json);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_PLAIN_JSON_H_
