// `zebevi serve [--listen HOST:PORT] [--db CONNECTION] [--threads N]
// [--config FILE]`: the HTTP service. The config file may also come from
// $ZEBEVI_CONFIG; ZEBEVI_LISTEN, ZEBEVI_DB and ZEBEVI_THREADS override it and
// the options override them.
#ifndef ZEBEVI_SERVICE_SERVE_COMMAND_H_
#define ZEBEVI_SERVICE_SERVE_COMMAND_H_

#include <CLI/CLI.hpp>
#include <string>

#include "cli/console.h"

namespace zebevi::service {

class ServeVerb {
 public:
  explicit ServeVerb(CLI::App& app);

  bool chosen() const { return static_cast<bool>(*verb_); }

  // Exit status: 0 after a drain on SIGTERM; 1 when the address cannot be
  // bound; 2 for a bad option or config; 4 when the database cannot be
  // opened at start.
  int Run(const cli::Console& console) const;

 private:
  CLI::App* verb_;
  std::string listen_;
  std::string db_;
  std::string threads_;
  std::string config_;
};

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_SERVE_COMMAND_H_
