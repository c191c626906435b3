// `zebevi check`: whether a database can serve the component. Opens it,
// then runs every command the operations send, with arguments that match
// nothing, and checks that each answers with the columns the operations
// read. Reports the engine, the server's version, the number of transport
// documents and the time each command took.
#ifndef ZEBEVI_CLI_CHECK_COMMAND_H_
#define ZEBEVI_CLI_CHECK_COMMAND_H_

#include <CLI/CLI.hpp>

#include "cli/console.h"
#include "cli/verb_support.h"

namespace zebevi::cli {

struct CheckOptions {
  VerbOptions verb;
};

CLI::App* AddCheckVerb(CLI::App& app, CheckOptions& options);

// Exit status: 0 when every procedure answers as the operations expect; 1
// when something is missing (listed); 2, 3, 4 as for every verb.
int RunCheck(const CheckOptions& options, const Console& console);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_CHECK_COMMAND_H_
