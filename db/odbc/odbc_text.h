// Texts between UTF-8, which every Value holds, and UTF-16, which the
// driver manager's wide functions take and give (SQLWCHAR is two bytes
// with unixODBC). Going through the wide functions leaves no conversion to
// the driver's idea of the process's locale.
#ifndef ZEBEVI_DB_ODBC_ODBC_TEXT_H_
#define ZEBEVI_DB_ODBC_ODBC_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

namespace zebevi::db {

// The UTF-16 form of `utf8`, or nothing when it is not valid UTF-8.
std::optional<std::u16string> ToUtf16(std::string_view utf8);

// The UTF-8 form of `utf16`; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view utf16);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_ODBC_ODBC_TEXT_H_
