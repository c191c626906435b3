// Date and time pictures: "dd/mm/yyyy hh:mm:ss" and the like, read into
// fields once and then rendered from calendar parts.
#ifndef ZEBEVI_FRAME_DATE_PICTURE_H_
#define ZEBEVI_FRAME_DATE_PICTURE_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/regional.h"
#include "zebevi/date.h"

namespace zebevi {

class DatePicture {
 public:
  // Fields, letters in any case: d/dd day, m/mm month (minutes directly
  // after an hour field), n/nn minutes, yy/yyyy year, h/hh hour 0-23, s/ss
  // seconds. "/" and ":" stand for the regional separators; other
  // characters are copied. Nullopt when the picture holds no field, another
  // letter, a digit or "#".
  static std::optional<DatePicture> Parse(std::string_view picture, const Regional& regional);

  // `picture` parsed as Parse does. The pictures the operations and the
  // date texts use are parsed once per process, under the two regional
  // conventions, and returned from there; any other is parsed into
  // `storage`. Nullptr when it does not parse.
  static const DatePicture* Find(std::string_view picture, const Regional& regional,
                                 std::optional<DatePicture>& storage);

  std::string Render(const DateParts& parts) const;

 private:
  enum class Field { kText, kDay, kMonth, kYear, kHour, kMinute, kSecond };
  struct Token {
    Field field;
    int width;         // digits: 1 (unpadded), 2 or 4
    std::string text;  // kText only
  };
  std::vector<Token> tokens_;
};

}  // namespace zebevi

#endif  // ZEBEVI_FRAME_DATE_PICTURE_H_
