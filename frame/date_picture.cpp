#include "frame/date_picture.h"

#include <array>
#include <charconv>

namespace zebevi {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLetter(char c) { return Lower(c) >= 'a' && Lower(c) <= 'z'; }

void AppendNumber(std::string& out, int n, int width) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  const int length = static_cast<int>(result.ptr - buffer);
  if (length < width) out.append(width - length, '0');
  out.append(buffer, result.ptr);
}

}  // namespace

std::optional<DatePicture> DatePicture::Parse(std::string_view picture, const Regional& regional) {
  DatePicture parsed;
  bool has_field = false;
  bool after_hour = false;
  std::size_t pos = 0;
  while (pos < picture.size()) {
    const char c = picture[pos];
    if ((c >= '0' && c <= '9') || c == '#') return std::nullopt;
    if (!IsLetter(c)) {
      const char out = c == '/' ? regional.date_separator : c == ':' ? regional.time_separator : c;
      if (parsed.tokens_.empty() || parsed.tokens_.back().field != Field::kText) {
        parsed.tokens_.push_back({Field::kText, 0, {}});
      }
      parsed.tokens_.back().text.push_back(out);
      ++pos;
      continue;
    }
    const char letter = Lower(c);
    std::size_t run = 1;
    while (pos + run < picture.size() && Lower(picture[pos + run]) == letter) ++run;
    pos += run;
    Field field;
    switch (letter) {
      case 'd':
        field = Field::kDay;
        break;
      case 'm':
        field = after_hour ? Field::kMinute : Field::kMonth;
        break;
      case 'n':
        field = Field::kMinute;
        break;
      case 'y':
        field = Field::kYear;
        break;
      case 'h':
        field = Field::kHour;
        break;
      case 's':
        field = Field::kSecond;
        break;
      default:
        return std::nullopt;
    }
    const bool valid_run = field == Field::kYear ? (run == 2 || run == 4) : run <= 2;
    if (!valid_run) return std::nullopt;
    parsed.tokens_.push_back({field, static_cast<int>(run), {}});
    has_field = true;
    after_hour = field == Field::kHour;
  }
  if (!has_field) return std::nullopt;
  return parsed;
}

const DatePicture* DatePicture::Find(std::string_view picture, const Regional& regional,
                                     std::optional<DatePicture>& storage) {
  static constexpr std::array<std::string_view, 8> kCommon = {"dd/mm/yyyy hh:mm:ss",
                                                              "DD/MM/YYYY HH:MM:SS",
                                                              "dd/mm/yyyy hh:mm",
                                                              "dd/mm/yyyy",
                                                              "DD/MM/YYYY",
                                                              "hh:MM",
                                                              "HH:MM",
                                                              "hh:mm:ss"};
  struct Parsed {
    std::array<DatePicture, kCommon.size()> regional, invariant;
  };
  // Immutable once built; built once, on first use, by whichever thread.
  static const Parsed parsed = [] {
    Parsed all;
    for (std::size_t k = 0; k < kCommon.size(); ++k) {
      all.regional[k] = *Parse(kCommon[k], kRegional);
      all.invariant[k] = *Parse(kCommon[k], kInvariant);
    }
    return all;
  }();
  auto same = [](const Regional& a, const Regional& b) {
    return a.decimal == b.decimal && a.thousands == b.thousands &&
           a.date_separator == b.date_separator && a.time_separator == b.time_separator;
  };
  const std::array<DatePicture, kCommon.size()>* table =
      same(regional, kRegional)    ? &parsed.regional
      : same(regional, kInvariant) ? &parsed.invariant
                                   : nullptr;
  if (table != nullptr) {
    for (std::size_t k = 0; k < kCommon.size(); ++k) {
      if (kCommon[k] == picture) return &(*table)[k];
    }
  }
  storage = Parse(picture, regional);
  return storage ? &*storage : nullptr;
}

std::string DatePicture::Render(const DateParts& parts) const {
  std::string out;
  for (const Token& token : tokens_) {
    switch (token.field) {
      case Field::kText:
        out += token.text;
        break;
      case Field::kDay:
        AppendNumber(out, parts.day, token.width);
        break;
      case Field::kMonth:
        AppendNumber(out, parts.month, token.width);
        break;
      case Field::kYear:
        AppendNumber(out, token.width == 2 ? parts.year % 100 : parts.year, token.width);
        break;
      case Field::kHour:
        AppendNumber(out, parts.hour, token.width);
        break;
      case Field::kMinute:
        AppendNumber(out, parts.minute, token.width);
        break;
      case Field::kSecond:
        AppendNumber(out, parts.second, token.width);
        break;
    }
  }
  return out;
}

}  // namespace zebevi
