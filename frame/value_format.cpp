// Format pictures: the two number pictures and the date and time pictures.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

#include "frame/date_picture.h"
#include "frame/date_text.h"
#include "frame/number_text.h"
#include "frame/regional.h"
#include "zebevi/error.h"
#include "zebevi/value.h"

namespace zebevi {
namespace {

// "#,##0.00": two decimals, grouped whole digits.
std::string GroupedTwoDecimals(double d, const Regional& regional) {
  const RoundedDigits digits = RoundDecimal(d, 2);
  std::string out = digits.negative ? "-" : "";
  for (std::size_t i = 0; i < digits.whole.size(); ++i) {
    if (i > 0 && (digits.whole.size() - i) % 3 == 0) out.push_back(regional.thousands);
    out.push_back(digits.whole[i]);
  }
  out.push_back(regional.decimal);
  return out + digits.fraction;
}

// "00": whole, at least two digits.
std::string TwoDigits(double d) {
  // A whole number below 10^15 is its own 15-digit form: its digits are
  // those of the integer.
  if (d == std::trunc(d) && std::fabs(d) < 1e15) {
    const auto n = static_cast<std::int64_t>(d);
    char buffer[24];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, n < 0 ? -n : n).ptr;
    std::string out = n < 0 ? "-" : "";
    if (end - buffer < 2) out.push_back('0');
    return out.append(buffer, end);
  }
  const RoundedDigits digits = RoundDecimal(d, 0);
  std::string out = digits.negative ? "-" : "";
  if (digits.whole.size() < 2) out.push_back('0');
  return out + digits.whole;
}

// The number a number picture formats; nullopt when `plain` is a text that
// is not a number. Null and "" are handled before.
std::optional<double> PictureNumber(const Value& plain, const Regional& regional) {
  switch (plain.kind()) {
    case Kind::kEmpty:
      return 0.0;
    case Kind::kString:
      return ReadNumber(plain.string(), regional);
    default:
      return ToDouble(plain);
  }
}

// The day count a date picture formats; nullopt when `plain` is a text that
// reads neither as a number nor as a date or time.
std::optional<double> PictureDays(const Value& plain, const Regional& regional) {
  if (plain.kind() != Kind::kString) return ToDouble(plain);
  if (auto n = ReadNumber(plain.string(), regional)) return n;
  return ReadDateText(plain.string(), regional);
}

}  // namespace

Value Format(const Value& v, std::string_view picture) {
  const Regional& regional = kRegional;
  enum class Picture { kGrouped, kTwoDigits, kDate } kind;
  std::optional<DatePicture> storage;
  const DatePicture* date_picture = nullptr;
  if (picture == "#,##0.00") {
    kind = Picture::kGrouped;
  } else if (picture == "00") {
    kind = Picture::kTwoDigits;
  } else if ((date_picture = DatePicture::Find(picture, regional, storage))) {
    kind = Picture::kDate;
  } else {
    throw Error(5, "Invalid procedure call or argument");
  }

  const PlainRef plain_ref(v);
  const Value& plain = *plain_ref;
  if (plain.is_null()) return plain;
  if (plain.kind() == Kind::kString && plain.string().empty()) return plain;

  if (kind == Picture::kDate) {
    if (plain.is_empty()) return Value::String("");
    const std::optional<double> days = PictureDays(plain, regional);
    if (!days) return plain;
    return Value::String(date_picture->Render(PartsFromDays(*days)));
  }
  const std::optional<double> number = PictureNumber(plain, regional);
  if (!number) return plain;
  if (!std::isfinite(*number)) throw Error::Overflow();
  return Value::String(kind == Picture::kGrouped ? GroupedTwoDecimals(*number, regional)
                                                 : TwoDigits(*number));
}

}  // namespace zebevi
