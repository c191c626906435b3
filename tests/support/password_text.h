// Writing a password into the forms a connection string knows, and telling
// whether a text shows any of it, for the tests and the fuzz target that
// hunt password leaks. Header-only, so the fuzz targets use it without the
// test support library.
#ifndef ZEBEVI_TESTS_SUPPORT_PASSWORD_TEXT_H_
#define ZEBEVI_TESTS_SUPPORT_PASSWORD_TEXT_H_

#include <cstdio>
#include <string>
#include <string_view>

namespace zebevi::testing {

// The separators of every connection-string form. Passwords made of these
// and of bytes above 0x7F (which no key, message or mask holds) show any
// leak as a byte above 0x7F, or as their percent-encoded form.
inline constexpr std::string_view kPasswordSeparators = ";='\" %@:/?&\\\t";

inline std::string PercentEncoded(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    char code[4];
    std::snprintf(code, sizeof code, "%%%02X", c);
    out += code;
  }
  return out;
}

// `text` inside `quote`s, each quote doubled.
inline std::string Doubled(std::string_view text, char quote) {
  std::string out;
  for (char c : text) {
    if (c == quote) out += quote;
    out += c;
  }
  return out;
}

// `text` for a single-quoted value of a libpq keyword list.
inline std::string BackslashEscaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\'' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

inline bool HasHighByte(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return true;
  }
  return false;
}

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SUPPORT_PASSWORD_TEXT_H_
