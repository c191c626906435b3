// `zebevi demo [--documents N] [--force] [--json] [PATH]`: creates the
// reference freight database, filled by the generator with a fixed seed, at
// PATH or at the default database path that the other verbs read. It never
// asks: an existing file is refused unless --force, and then replaced only
// once the new database is complete (it is generated beside the old one and
// renamed over it), so a failure never leaves half a database behind.
#ifndef ZEBEVI_CLI_DEMO_COMMAND_H_
#define ZEBEVI_CLI_DEMO_COMMAND_H_

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

#include "cli/console.h"

namespace zebevi::cli {

inline constexpr std::int64_t kDemoDocuments = 5000;
inline constexpr std::uint64_t kDemoSeed = 1;

struct DemoOptions {
  std::int64_t documents = kDemoDocuments;
  std::string path;  // empty: the default database path
  bool force = false;
  bool json = false;
};

CLI::App* AddDemoVerb(CLI::App& app, DemoOptions& options);

// Returns the exit status: 0, 1 when the file exists (without --force) or
// generation failed, 2 for a bad option.
int RunDemo(const DemoOptions& options, const Console& console);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_DEMO_COMMAND_H_
