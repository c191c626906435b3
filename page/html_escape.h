// Text from the database as HTML: the five characters that markup reads
// are escaped, everything else (UTF-8 included) is kept as it is.
#ifndef ZEBEVI_PAGE_HTML_ESCAPE_H_
#define ZEBEVI_PAGE_HTML_ESCAPE_H_

#include <string>
#include <string_view>

namespace zebevi::page {

std::string HtmlEscape(std::string_view text);

}  // namespace zebevi::page

#endif  // ZEBEVI_PAGE_HTML_ESCAPE_H_
