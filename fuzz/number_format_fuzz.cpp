// Number reading and the Format pictures on any text: the first byte picks
// the picture, the rest is the text. A number read back is formatted too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "zebevi/error.h"
#include "zebevi/value.h"

namespace {

constexpr std::string_view kPictures[] = {"dd/mm/yyyy hh:mm:ss", "dd/mm/yyyy hh:mm", "dd/mm/yyyy",
                                          "hh:mm", "#,##0.00", "00"};

void FormatSafely(const zebevi::Value& value, std::string_view picture) {
  try {
    zebevi::Format(value, picture);
  } catch (const zebevi::Error&) {
    // Overflow, type mismatch: the failures a picture may give.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view picture = kPictures[data[0] % std::size(kPictures)];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  FormatSafely(zebevi::Value::String(text), picture);
  if (const std::optional<double> number = zebevi::ReadNumber(text)) {
    FormatSafely(zebevi::Value::Double(*number), picture);
    FormatSafely(zebevi::Value::Date(*number), picture);
    zebevi::NumberText(*number);
  }
  return 0;
}
