#include "cli/console.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

namespace zebevi::cli {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

Console ProcessConsole() {
  const bool out_is_terminal = ::isatty(STDOUT_FILENO) == 1;
  return Console{.out = std::cout,
                 .err = std::cerr,
                 .out_is_terminal = out_is_terminal,
                 .err_is_terminal = ::isatty(STDERR_FILENO) == 1,
                 .colour = out_is_terminal && Variable("NO_COLOR").empty(),
                 .zebevi_db = Variable("ZEBEVI_DB"),
                 .xdg_data_home = Variable("XDG_DATA_HOME"),
                 .home = Variable("HOME")};
}

}  // namespace zebevi::cli
