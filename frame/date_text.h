// Dates as text in the regional day/month/year form: reading a typed or
// stored date, and the text a date takes when a text is needed.
#ifndef ZEBEVI_FRAME_DATE_TEXT_H_
#define ZEBEVI_FRAME_DATE_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

#include "frame/regional.h"
#include "zebevi/date.h"

namespace zebevi {

// The day count of a text, blanks around ignored: "d/m/yyyy",
// "d/m/yyyy h:m[:s]", "h:m[:s]" (a time of day alone, on 30/12/1899), or
// "yyyy-mm-dd[ hh:mm:ss]". A two-digit year 00-29 is 20xx, 30-99 is 19xx.
// Nullopt when the text is none of these or names no valid date and time.
std::optional<double> ReadDateText(std::string_view text, const Regional& regional = kRegional);

// "dd/mm/yyyy hh:mm:ss", or "dd/mm/yyyy" when the time is midnight.
std::string DateText(const DateParts& parts, const Regional& regional = kRegional);

// "hh:mm:ss".
std::string TimeText(const DateParts& parts, const Regional& regional = kRegional);

}  // namespace zebevi

#endif  // ZEBEVI_FRAME_DATE_TEXT_H_
