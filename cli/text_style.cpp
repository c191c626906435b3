#include "cli/text_style.h"

namespace zebevi::cli {

std::string TextStyle::Wrap(std::string_view code, std::string_view text) const {
  if (!colour_ || text.empty()) return std::string(text);
  std::string wrapped = "\x1b[";
  wrapped += code;
  wrapped += 'm';
  wrapped += text;
  wrapped += "\x1b[0m";
  return wrapped;
}

std::string TextStyle::Title(std::string_view text) const { return Wrap("1", text); }
std::string TextStyle::Muted(std::string_view text) const { return Wrap("2", text); }
std::string TextStyle::Good(std::string_view text) const { return Wrap("32", text); }
std::string TextStyle::Bad(std::string_view text) const { return Wrap("31", text); }
std::string TextStyle::Warn(std::string_view text) const { return Wrap("33", text); }
std::string TextStyle::Accent(std::string_view text) const { return Wrap("36", text); }

}  // namespace zebevi::cli
