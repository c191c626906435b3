// `zebevi flags GROUP_ID`: the thirteen optional features of a user group
// (gConsulta_Grupo_Usuario_Parti), each granted (S) or not (N), with its
// feature code and its Portuguese label.
#ifndef ZEBEVI_CLI_FLAGS_COMMAND_H_
#define ZEBEVI_CLI_FLAGS_COMMAND_H_

#include <CLI/CLI.hpp>
#include <string>

#include "cli/console.h"
#include "cli/verb_support.h"

namespace zebevi::cli {

struct FlagsOptions {
  VerbOptions verb;
  std::string group;
  std::string company;
  std::string user;
};

CLI::App* AddFlagsVerb(CLI::App& app, FlagsOptions& options);

// Exit status: 0 when the flags were read; 1 when the group has no rights
// recorded ("Direitos do grupo do usuário não cadastrados.", on standard
// error) or the operation refused it; 2, 3, 4 as for every verb.
int RunFlags(const FlagsOptions& options, const Console& console);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_FLAGS_COMMAND_H_
