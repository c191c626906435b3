// Passwords written into every connection-string form, and telling whether a
// text shows any of them. Header-only, for the fuzz targets too.
#ifndef ZEBEVI_TESTS_SUPPORT_PASSWORD_TEXT_H_
#define ZEBEVI_TESTS_SUPPORT_PASSWORD_TEXT_H_

#include <cstdio>
#include <string>
#include <string_view>

namespace zebevi::testing {

// Passwords of these and of password bytes leak as a password byte, or
// percent-encoded.
inline constexpr std::string_view kPasswordSeparators = ";='\" %@:/?&\\\t";

// 0xF8 to 0xFF: never in valid UTF-8, so in no key, message or mask.
inline bool IsPasswordByte(unsigned char c) { return c >= 0xF8; }
inline char PasswordByte(unsigned pick) { return static_cast<char>(0xF8 | (pick & 7)); }

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

inline bool HasPasswordByte(std::string_view text) {
  for (unsigned char c : text) {
    if (IsPasswordByte(c)) return true;
  }
  return false;
}

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SUPPORT_PASSWORD_TEXT_H_
