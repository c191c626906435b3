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
// and of password bytes show any leak as a password byte, or as their
// percent-encoded form.
inline constexpr std::string_view kPasswordSeparators = ";='\" %@:/?&\\\t";

// 0xF8 to 0xFF: bytes that valid UTF-8 never holds, so no key, message or
// mask (Portuguese texts included) has one of its own.
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
