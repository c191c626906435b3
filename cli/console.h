// Where a verb writes and what it knows of its surroundings: the two output
// streams, whether they are terminals, and the environment variables the
// command reads. main() fills it from the process once; the verbs never read
// the environment themselves.
#ifndef ZEBEVI_CLI_CONSOLE_H_
#define ZEBEVI_CLI_CONSOLE_H_

#include <iosfwd>
#include <string>

namespace zebevi::cli {

struct Console {
  std::ostream& out;
  std::ostream& err;
  bool out_is_terminal = false;
  bool err_is_terminal = false;
  // Colour only on a terminal, and never when NO_COLOR is set (to anything
  // but the empty text).
  bool colour = false;
  // ZEBEVI_DB, XDG_DATA_HOME and HOME; empty when unset.
  std::string zebevi_db = {};
  std::string xdg_data_home = {};
  std::string home = {};
};

// The console of this process: standard output and standard error.
Console ProcessConsole();

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_CONSOLE_H_
