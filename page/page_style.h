// The trip page's stylesheet, inline in every page: the wide layout first,
// then what narrow screens change (one column, stacked terms), then print.
#ifndef ZEBEVI_PAGE_PAGE_STYLE_H_
#define ZEBEVI_PAGE_PAGE_STYLE_H_

#include <string_view>

namespace zebevi::page {

extern const std::string_view kPageStyle;

}  // namespace zebevi::page

#endif  // ZEBEVI_PAGE_PAGE_STYLE_H_
