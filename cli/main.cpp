// The zebevi command: scripts and operators use the component from a shell.
#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>

#include "cli/call_command.h"
#include "cli/exit_codes.h"
#include "cli/trace_printer.h"

int main(int argc, char** argv) {
  using namespace zebevi::cli;
  CLI::App app{"zebevi: trip summaries, feature flags and document lookups for road freight"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "zebevi 0.1.0");

  CallOptions call;
  bool trace = false;
  CLI::App* call_verb = app.add_subcommand("call", "Call any operation through the interface");
  call_verb->add_option("operation", call.operation, "Operation name (see zebevi ops)")->required();
  call_verb->add_option("json", call.json,
                        "Parameters as a JSON object; - reads standard input (default {})");
  call_verb->add_flag("--trace", trace, "Write each database command to standard error");

  CLI::App* ops_verb = app.add_subcommand("ops", "List the operations and their parameters");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitOk : kExitUsage;
  }

  std::optional<TraceToStream> tracing;
  if (trace) tracing.emplace(std::cerr);
  if (*call_verb) return RunCall(call, std::cin, std::cout, std::cerr);
  if (*ops_verb) return RunOps(std::cout);
  return kExitUsage;
}
