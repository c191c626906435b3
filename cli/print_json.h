// JSON on standard output, as the verbs that print their own JSON write it.
#ifndef ZEBEVI_CLI_PRINT_JSON_H_
#define ZEBEVI_CLI_PRINT_JSON_H_

#include <iosfwd>

#include "cli/json_value.h"

namespace zebevi::cli {

// Writes `json` on one line; invalid UTF-8 is replaced, never a failure.
void PrintJson(std::ostream& out, const Json& json);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_PRINT_JSON_H_
