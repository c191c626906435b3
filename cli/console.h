// Where a verb writes and what it knows of its surroundings: the two output
// streams, whether they are terminals, and the environment variables the
// command reads. main() fills it from the process once; the verbs never read
// the environment themselves.
#ifndef ZEBEVI_CLI_CONSOLE_H_
#define ZEBEVI_CLI_CONSOLE_H_

#include <cstddef>
#include <iosfwd>
#include <string>

namespace zebevi::cli {

struct Console {
  std::ostream& out;
  std::ostream& err;
  bool out_is_terminal = false;
  bool err_is_terminal = false;
  // Colour only on a terminal, never when NO_COLOR is set (to anything but
  // the empty text) nor on a terminal that says TERM=dumb.
  bool colour = false;
  // Width of the terminal in columns: COLUMNS when it is a positive number,
  // else the size of the terminal on standard output; 0 when unknown.
  std::size_t columns = 0;
  // ZEBEVI_DB, XDG_DATA_HOME and HOME; empty when unset.
  std::string zebevi_db = {};
  std::string xdg_data_home = {};
  std::string home = {};
};

// The console of this process: standard output and standard error.
Console ProcessConsole();

// `path` as a person reads it: under HOME, from "~/" on.
std::string ShownPath(const Console& console, const std::string& path);

// `text` as one word a shell reads back as it is: plain, or single-quoted.
std::string ShellWord(const std::string& text);

// Writes `text` as the whole of the file `path`. False, with a "zebevi: "
// line on the console's standard error, when it cannot.
bool WriteWholeFile(const std::string& path, const std::string& text, const Console& console);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_CONSOLE_H_
