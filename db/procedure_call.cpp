#include "db/procedure_call.h"

#include <charconv>

#include "db/ascii.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentifierStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentifierChar(char c) { return IsIdentifierStart(c) || IsDigit(c); }

class CallParser {
 public:
  explicit CallParser(std::string_view text) : text_(text) {}

  std::optional<ProcedureCall> Parse() {
    SkipBlanks();
    if (!AsciiIEquals(ReadWord(), "exec")) return std::nullopt;
    ProcedureCall call;
    call.name = ReadName();
    name_ = call.name;
    SkipBlanks();
    if (AtEnd()) return call;
    while (true) {
      call.args.push_back(ReadLiteral(call.args.size() + 1));
      SkipBlanks();
      if (AtEnd()) return call;
      if (text_[pos_] != ',') {
        Fail("unexpected " + Shown() + " after argument " + std::to_string(call.args.size()));
      }
      ++pos_;
      SkipBlanks();
    }
  }

 private:
  bool AtEnd() const { return pos_ == text_.size(); }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
  }

  std::string_view ReadWord() {
    std::size_t start = pos_;
    while (!AtEnd() && IsIdentifierChar(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // The text at the current position, as far as the next blank, quoted for
  // a message.
  std::string Shown() const {
    std::size_t end = pos_;
    while (end < text_.size() && !IsBlank(text_[end]) && end - pos_ < 30) ++end;
    return "'" + std::string(text_.substr(pos_, end - pos_)) + "'";
  }

  [[noreturn]] void Fail(const std::string& problem) const {
    std::string where = name_.empty() ? "EXEC" : "EXEC " + name_;
    throw Error::Database(kDbCommandFailed, where + ": " + problem);
  }

  std::string ReadName() {
    SkipBlanks();
    if (AtEnd()) Fail("no procedure name");
    std::size_t start = pos_;
    if (IsIdentifierStart(text_[pos_])) ReadWord();
    if (pos_ == start || (!AtEnd() && !IsBlank(text_[pos_]))) {
      pos_ = start;
      Fail(Shown() + " is not a plain procedure name");
    }
    return std::string(text_.substr(start, pos_ - start));
  }

  Literal ReadLiteral(std::size_t number) {
    const std::string argument = "argument " + std::to_string(number);
    if (AtEnd() || text_[pos_] == ',') Fail(argument + " is missing");
    char c = text_[pos_];
    if (c == '\'') return ReadText(argument);
    if (IsDigit(c) || c == '+' || c == '-' || c == '.') return ReadNumber(argument);
    if (IsIdentifierStart(c)) {
      std::size_t start = pos_;
      if (AsciiIEquals(ReadWord(), "null")) return NullLiteral{};
      pos_ = start;
    }
    Fail(argument + " is not a number, a quoted text or NULL: " + Shown());
  }

  Literal ReadText(const std::string& argument) {
    ++pos_;
    std::string text;
    while (true) {
      if (AtEnd()) Fail(argument + " has an unterminated quote");
      char c = text_[pos_++];
      if (c != '\'') {
        text += c;
      } else if (!AtEnd() && text_[pos_] == '\'') {
        text += '\'';
        ++pos_;
      } else {
        return text;
      }
    }
  }

  std::size_t SkipDigits() {
    std::size_t start = pos_;
    while (!AtEnd() && IsDigit(text_[pos_])) ++pos_;
    return pos_ - start;
  }

  Literal ReadNumber(const std::string& argument) {
    const std::size_t start = pos_;
    if (text_[pos_] == '+' || text_[pos_] == '-') ++pos_;
    std::size_t digits = SkipDigits();
    bool integral = true;
    if (!AtEnd() && text_[pos_] == '.') {
      ++pos_;
      digits += SkipDigits();
      integral = false;
    }
    if (digits == 0) {
      pos_ = start;
      Fail(argument + " is not a number, a quoted text or NULL: " + Shown());
    }
    if (!AtEnd() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
      if (!AtEnd() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      if (SkipDigits() == 0) Fail(argument + " has an incomplete exponent");
      integral = false;
    }
    // from_chars takes no '+'.
    std::string_view number = text_.substr(start, pos_ - start);
    if (number.front() == '+') number.remove_prefix(1);
    const char* first = number.data();
    const char* last = first + number.size();
    if (integral) {
      std::int64_t n = 0;
      auto [end, ec] = std::from_chars(first, last, n);
      if (ec == std::errc() && end == last) return n;
    }
    double d = 0;
    auto [end, ec] = std::from_chars(first, last, d);
    if (ec != std::errc() || end != last) Fail(argument + " is out of range");
    return d;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::string name_;
};

}  // namespace

std::optional<ProcedureCall> ParseProcedureCall(std::string_view command) {
  return CallParser(command).Parse();
}

}  // namespace zebevi::db
