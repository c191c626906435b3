// The library's own value rules: how parameters and fields become numbers
// and texts, and how they are written into database command texts.
#include "zebevi/value_rules.h"

#include <charconv>
#include <cmath>

#include "frame/blanks.h"
#include "frame/date_picture.h"
#include "frame/date_text.h"
#include "frame/regional.h"
#include "zebevi/date.h"
#include "zebevi/error.h"

namespace zebevi {
namespace {

constexpr std::string_view kSqlNull = "NULL";

bool IsBlank(const Value& plain) {
  return plain.is_empty() || plain.is_null() ||
         (plain.kind() == Kind::kString && TrimBlanks(plain.string()).empty());
}

// The shortest digits that read back as `d`, never with an exponent.
std::string SqlDouble(double d) {
  if (!std::isfinite(d)) return std::string(kSqlNull);
  if (d == 0) return "0";  // negative zero included
  char buffer[400];        // the longest fixed form of a double is 327 characters
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

class DefaultValueRules final : public ValueRules {
 public:
  Value AsNumber(const Value& v) const override {
    const PlainRef plain_ref(v);
    const Value& plain = *plain_ref;
    switch (plain.kind()) {
      case Kind::kInt16:
      case Kind::kInt32:
      case Kind::kDouble:
        return plain;
      case Kind::kBoolean:
        return Value::Int32(plain.boolean() ? -1 : 0);
      case Kind::kDate:
        return Value::Double(plain.date());
      case Kind::kString:
        if (auto n = ReadNumber(plain.string())) return Value::Double(*n);
        return Value::Int32(0);
      default:
        return Value::Int32(0);
    }
  }

  Value AsText(const Value& v) const override {
    const PlainRef plain_ref(v);
    const Value& plain = *plain_ref;
    switch (plain.kind()) {
      case Kind::kNull:
      case Kind::kEmpty:
        return Value::String("");
      case Kind::kString:
        return Value::String(std::string(TrimBlanks(plain.string())));
      case Kind::kDate:
        return Value::String(DateText(PartsFromDays(plain.date())));
      default:
        return Value::String(ToString(plain));
    }
  }

  std::string SqlNumber(const Value& v) const override {
    const PlainRef plain_ref(v);
    const Value& plain = *plain_ref;
    switch (plain.kind()) {
      case Kind::kInt16:
        return std::to_string(plain.int16());
      case Kind::kInt32:
        return std::to_string(plain.int32());
      case Kind::kDouble:
        return SqlDouble(plain.dbl());
      case Kind::kDate:
        return SqlDouble(plain.date());
      case Kind::kBoolean:
        return plain.boolean() ? "-1" : "0";
      case Kind::kString:
        if (auto n = ReadNumber(plain.string())) return SqlDouble(*n);
        return std::string(kSqlNull);
      default:
        return std::string(kSqlNull);
    }
  }

  std::string SqlText(const Value& v) const override {
    const PlainRef plain_ref(v);
    const Value& plain = *plain_ref;
    if (IsBlank(plain)) return std::string(kSqlNull);
    const std::string text = AsText(plain).string();
    std::string quoted = "'";
    for (char c : text) {
      if (c == '\'') quoted.push_back('\'');
      quoted.push_back(c);
    }
    quoted.push_back('\'');
    return quoted;
  }

  std::string SqlDate(const Value& v) const override {
    const PlainRef plain_ref(v);
    const Value& plain = *plain_ref;
    if (IsBlank(plain)) return std::string(kSqlNull);
    double days = 0;
    if (plain.kind() == Kind::kString) {
      const std::optional<double> read = ReadDateText(plain.string());
      if (!read) throw Error::TypeMismatch();
      days = *read;
    } else {
      days = ToDouble(plain);
    }
    const DateParts parts = PartsFromDays(days);
    const bool midnight = parts.hour == 0 && parts.minute == 0 && parts.second == 0;
    const auto picture =
        DatePicture::Parse(midnight ? "yyyy-mm-dd" : "yyyy-mm-dd hh:mm:ss", kInvariant);
    return "'" + picture->Render(parts) + "'";
  }

  std::string CleanText(std::string_view text) const override {
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto byte = static_cast<unsigned char>(text[i]);
      if (byte < 0x20 || byte == 0x7F) continue;
      // U+0080 to U+009F, the second range of controls, are 0xC2 and a byte
      // 0x80-0x9F; checking what is kept also catches a pair that a removed
      // control had split.
      if (byte >= 0x80 && byte <= 0x9F && !clean.empty() &&
          static_cast<unsigned char>(clean.back()) == 0xC2) {
        clean.pop_back();
        continue;
      }
      clean.push_back(text[i]);
    }
    const std::size_t first = clean.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return clean.substr(first, clean.find_last_not_of(' ') - first + 1);
  }
};

}  // namespace

std::unique_ptr<ValueRules> CreateValueRules() { return std::make_unique<DefaultValueRules>(); }

}  // namespace zebevi
