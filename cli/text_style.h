// Terminal emphasis for the friendly verbs: bold titles, green and red
// verdicts, coloured bars. Without colour every helper returns its text
// unchanged, so the layout never depends on it.
#ifndef ZEBEVI_CLI_TEXT_STYLE_H_
#define ZEBEVI_CLI_TEXT_STYLE_H_

#include <string>
#include <string_view>

namespace zebevi::cli {

class TextStyle {
 public:
  explicit TextStyle(bool colour) : colour_(colour) {}

  std::string Title(std::string_view text) const;   // bold
  std::string Muted(std::string_view text) const;   // dim
  std::string Good(std::string_view text) const;    // green
  std::string Bad(std::string_view text) const;     // red
  std::string Warn(std::string_view text) const;    // yellow
  std::string Accent(std::string_view text) const;  // cyan

 private:
  std::string Wrap(std::string_view code, std::string_view text) const;
  bool colour_;
};

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_TEXT_STYLE_H_
