// `zebevi call OPERATION [JSON]`: invokes any operation by name through the
// interface and prints its result and every parameter after the call.
#ifndef ZEBEVI_CLI_CALL_COMMAND_H_
#define ZEBEVI_CLI_CALL_COMMAND_H_

#include <iosfwd>
#include <string>

#include "cli/json_value.h"

namespace zebevi::cli {

struct CallOptions {
  std::string operation;
  std::string json = "{}";  // "-" reads standard input
  JsonLimits limits;
};

// Returns the exit status; writes the JSON answer to `out` and messages to
// `err`.
int RunCall(const CallOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

// `zebevi ops`: the interface table, one operation a line; with `json`,
// one JSON object: {"operations": [{"dispid", "name", "params": [{"name",
// "kind"}], "result"}]}.
int RunOps(std::ostream& out, bool json);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_CALL_COMMAND_H_
