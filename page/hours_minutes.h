// A number of minutes as "H:MM" (hours may pass 24; a leading "-" below 0).
#ifndef ZEBEVI_PAGE_HOURS_MINUTES_H_
#define ZEBEVI_PAGE_HOURS_MINUTES_H_

#include <cstdint>
#include <string>

namespace zebevi::page {

std::string HoursMinutes(std::int64_t minutes);

}  // namespace zebevi::page

#endif  // ZEBEVI_PAGE_HOURS_MINUTES_H_
