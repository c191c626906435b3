// The zebevi command: scripts and operators use the component from a shell.
#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <optional>

#include "cli/call_command.h"
#include "cli/check_command.h"
#include "cli/completion_command.h"
#include "cli/console.h"
#include "cli/demo_command.h"
#include "cli/exit_codes.h"
#include "cli/flags_command.h"
#include "cli/lookup_commands.h"
#include "cli/trace_printer.h"
#include "cli/trip_command.h"
#include "service/serve_command.h"

namespace {

using namespace zebevi::cli;

// What the verbs that only print (ops, completion) end with: 4 when their
// output could not be written.
int Written(std::ostream& out, int status) {
  out.flush();
  if (out) return status;
  std::cerr << "zebevi: cannot write the output\n";
  return kExitWriteFailed;
}

int Run(int argc, char** argv) {
  CLI::App app{"zebevi: trip summaries, feature flags and document lookups for road freight"};
  app.require_subcommand(1);
  app.set_version_flag("-V,--version", "zebevi " ZEBEVI_VERSION);
  app.footer(kExitStatusHelp);

  DemoOptions demo;
  CLI::App* demo_verb = AddDemoVerb(app, demo);
  TripOptions trip;
  CLI::App* trip_verb = AddTripVerb(app, trip);
  FindOptions find;
  CLI::App* find_verb = AddFindVerb(app, find);
  OrderOptions order;
  CLI::App* order_verb = AddOrderVerb(app, order);
  FlagsOptions flags;
  CLI::App* flags_verb = AddFlagsVerb(app, flags);
  CheckOptions check;
  CLI::App* check_verb = AddCheckVerb(app, check);

  CallOptions call;
  bool trace = false;
  CLI::App* call_verb = app.add_subcommand("call", "Call any operation through the interface");
  call_verb->add_option("operation", call.operation, "Operation name (see zebevi ops)")->required();
  call_verb->add_option("json", call.json,
                        "Parameters as a JSON object; - reads standard input (default {})");
  call_verb->add_flag("--trace", trace, "Write each database command to standard error");
  call_verb
      ->add_option("--max-input-bytes", call.limits.max_bytes,
                   "Largest JSON input accepted, in bytes")
      ->default_val(JsonLimits::kDefaultMaxBytes)
      ->check(CLI::PositiveNumber);

  bool ops_json = false;
  CLI::App* ops_verb = app.add_subcommand("ops", "List the operations and their parameters");
  ops_verb->add_flag("--json", ops_json, "Print the list as JSON");
  const zebevi::service::ServeVerb serve(app);
  std::string shell;
  CLI::App* completion_verb = AddCompletionVerb(app, shell);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitOk : kExitUsage;
  }

  const Console console = ProcessConsole();
  if (*demo_verb) return RunDemo(demo, console);
  if (*trip_verb) return RunTrip(trip, console);
  if (*find_verb) return RunFind(find, console);
  if (*order_verb) return RunOrder(order, console);
  if (*flags_verb) return RunFlags(flags, console);
  if (*check_verb) return RunCheck(check, console);
  if (serve.chosen()) return serve.Run(console);
  if (*completion_verb) {
    std::cout << CompletionScript(app, shell);
    return Written(std::cout, kExitOk);
  }

  std::optional<TraceToStream> tracing;
  if (trace) tracing.emplace(std::cerr);
  if (*call_verb) return RunCall(call, std::cin, std::cout, std::cerr);
  if (*ops_verb) return Written(std::cout, RunOps(std::cout, ops_json));
  return kExitUsage;
}

// What escapes where it cannot be caught (a destructor that runs out of
// memory while the stack unwinds) ends the same way as what main catches.
// Written without allocating: memory may be what ran out.
[[noreturn]] void OnTerminate() {
  const char* text = "zebevi: internal failure\n";
  if (const std::exception_ptr failure = std::current_exception()) {
    try {
      std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
      text = "zebevi: out of memory\n";
    } catch (...) {
    }
  }
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, std::strlen(text));
  std::_Exit(kExitFailedCall);
}

}  // namespace

int main(int argc, char** argv) {
  // Whatever a verb did not foresee ends here with a message, never as an
  // abort: scripts read the exit status.
  std::set_terminate(OnTerminate);
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "zebevi: out of memory\n";
  } catch (const std::exception& e) {
    std::cerr << "zebevi: internal failure: " << e.what() << '\n';
  } catch (...) {
    std::cerr << "zebevi: internal failure\n";
  }
  return kExitFailedCall;
}
