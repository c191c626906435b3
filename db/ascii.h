// ASCII letter-case helpers for names the database layer compares without
// regard to case: connection-string keys, providers, the EXEC keyword,
// field names, declared column types. Bytes outside ASCII compare as they
// are, so UTF-8 names stay intact.
#ifndef ZEBEVI_DB_ASCII_H_
#define ZEBEVI_DB_ASCII_H_

#include <algorithm>
#include <string>
#include <string_view>

namespace zebevi::db {

inline char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return AsciiLower(c); });
  return lower;
}

inline bool AsciiIEquals(std::string_view a, std::string_view b) {
  // Names mostly differ in case in a letter or two: equal bytes go first.
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return x == y || AsciiLower(x) == AsciiLower(y);
         });
}

inline bool AsciiIStartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && AsciiIEquals(text.substr(0, prefix.size()), prefix);
}

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// `text` on one line: outer blanks dropped, each run of inner blanks
// (newlines and tabs included) one space. For engines' messages.
inline std::string CollapsedBlanks(std::string_view text) {
  std::string line;
  for (char c : TrimBlanks(text)) {
    if (!IsBlank(c)) {
      line += c;
    } else if (!line.empty() && line.back() != ' ') {
      line += ' ';
    }
  }
  return line;
}

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_ASCII_H_
