#include "cli/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace zebevi::cli {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::size_t TerminalColumns(bool out_is_terminal) {
  const std::string given = Variable("COLUMNS");
  std::size_t columns = 0;
  const auto [end, error] = std::from_chars(given.data(), given.data() + given.size(), columns);
  if (error == std::errc() && end == given.data() + given.size() && columns > 0) return columns;
  winsize size{};
  if (out_is_terminal && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0) return size.ws_col;
  return 0;
}

}  // namespace

Console ProcessConsole() {
  const bool out_is_terminal = ::isatty(STDOUT_FILENO) == 1;
  return Console{
      .out = std::cout,
      .err = std::cerr,
      .out_is_terminal = out_is_terminal,
      .err_is_terminal = ::isatty(STDERR_FILENO) == 1,
      .colour = out_is_terminal && Variable("NO_COLOR").empty() && Variable("TERM") != "dumb",
      .columns = TerminalColumns(out_is_terminal),
      .zebevi_db = Variable("ZEBEVI_DB"),
      .xdg_data_home = Variable("XDG_DATA_HOME"),
      .home = Variable("HOME")};
}

std::string ShownPath(const Console& console, const std::string& path) {
  std::string home = console.home;
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  if (home.size() <= 1 || path.size() <= home.size() || path.compare(0, home.size(), home) != 0 ||
      path[home.size()] != '/') {
    return path;
  }
  return "~" + path.substr(home.size());
}

std::string ShellWord(const std::string& text) {
  const bool plain = !text.empty() && text.find_first_not_of(
                                          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789_./-+:,=@%~") == std::string::npos;
  if (plain) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool WriteWholeFile(const std::string& path, const std::string& text, const Console& console) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    console.err << "zebevi: cannot write " << path << '\n';
    return false;
  }
  return true;
}

}  // namespace zebevi::cli
