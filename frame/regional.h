// The regional conventions the text rules apply. They are constants handed
// to each routine, never read from the process locale, so a host locale
// cannot change a formatted number or date.
#ifndef ZEBEVI_FRAME_REGIONAL_H_
#define ZEBEVI_FRAME_REGIONAL_H_

namespace zebevi {

struct Regional {
  char decimal;
  char thousands;
  char date_separator;
  char time_separator;
};

// Brazilian Portuguese: 1.234,5 and 05/03/2002 14:07:09.
inline constexpr Regional kRegional{',', '.', '/', ':'};
// The neutral form that database command texts need: 1234.5 and 14:07:09.
inline constexpr Regional kInvariant{'.', ',', '/', ':'};

}  // namespace zebevi

#endif  // ZEBEVI_FRAME_REGIONAL_H_
