// Blanks, as the text rules trim them: spaces and tabs.
#ifndef ZEBEVI_FRAME_BLANKS_H_
#define ZEBEVI_FRAME_BLANKS_H_

#include <string_view>

namespace zebevi {

inline std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace zebevi

#endif  // ZEBEVI_FRAME_BLANKS_H_
