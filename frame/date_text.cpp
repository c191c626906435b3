#include "frame/date_text.h"

#include "frame/blanks.h"
#include "frame/date_picture.h"

namespace zebevi {
namespace {

// Reads a text left to right; every step fails without moving on a mismatch.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }

  // Between `min` and `max` digits, as many as there are.
  bool Number(std::size_t min, std::size_t max, int& out, std::size_t* count = nullptr) {
    std::size_t n = 0;
    int value = 0;
    while (n < max && pos_ + n < text_.size() && text_[pos_ + n] >= '0' && text_[pos_ + n] <= '9') {
      value = value * 10 + (text_[pos_ + n] - '0');
      ++n;
    }
    if (n < min) return false;
    pos_ += n;
    out = value;
    if (count != nullptr) *count = n;
    return true;
  }

  bool Char(char c) {
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  bool Spaces() {
    const std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] == ' ') ++pos_;
    return pos_ > start;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

bool ReadTime(Cursor& cursor, const Regional& regional, DateParts& parts) {
  if (!cursor.Number(1, 2, parts.hour) || !cursor.Char(regional.time_separator) ||
      !cursor.Number(1, 2, parts.minute)) {
    return false;
  }
  return !cursor.Char(regional.time_separator) || cursor.Number(1, 2, parts.second);
}

bool ReadDate(Cursor& cursor, const Regional& regional, DateParts& parts) {
  std::size_t year_digits = 0;
  if (!cursor.Number(1, 2, parts.day) || !cursor.Char(regional.date_separator) ||
      !cursor.Number(1, 2, parts.month) || !cursor.Char(regional.date_separator) ||
      !cursor.Number(2, 4, parts.year, &year_digits) || year_digits == 3) {
    return false;
  }
  if (year_digits == 2) parts.year += parts.year < 30 ? 2000 : 1900;
  return true;
}

std::optional<DateParts> ReadDayMonthYear(std::string_view text, const Regional& regional) {
  DateParts parts;
  Cursor date_cursor(text);
  if (ReadDate(date_cursor, regional, parts)) {
    if (!date_cursor.AtEnd() && !(date_cursor.Spaces() && ReadTime(date_cursor, regional, parts))) {
      return std::nullopt;
    }
    if (!date_cursor.AtEnd()) return std::nullopt;
    return parts;
  }
  parts = DateParts{};
  Cursor time_cursor(text);
  if (ReadTime(time_cursor, regional, parts) && time_cursor.AtEnd()) return parts;
  return std::nullopt;
}

}  // namespace

std::optional<double> ReadDateText(std::string_view text, const Regional& regional) {
  text = TrimBlanks(text);
  std::optional<DateParts> parts = ParseIsoDate(text);
  if (!parts) parts = ReadDayMonthYear(text, regional);
  if (!parts || !IsValidParts(*parts)) return std::nullopt;
  return DaysFromParts(*parts);
}

std::string DateText(const DateParts& parts, const Regional& regional) {
  const bool midnight = parts.hour == 0 && parts.minute == 0 && parts.second == 0;
  std::optional<DatePicture> storage;
  return DatePicture::Find(midnight ? "dd/mm/yyyy" : "dd/mm/yyyy hh:mm:ss", regional, storage)
      ->Render(parts);
}

std::string TimeText(const DateParts& parts, const Regional& regional) {
  std::optional<DatePicture> storage;
  return DatePicture::Find("hh:mm:ss", regional, storage)->Render(parts);
}

}  // namespace zebevi
