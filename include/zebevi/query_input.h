// Query inputs from typed text, as a command line or a web address carries
// them, for the query structs of the typed layer.
#ifndef ZEBEVI_QUERY_INPUT_H_
#define ZEBEVI_QUERY_INPUT_H_

#include <optional>
#include <string_view>

#include "zebevi/value.h"

namespace zebevi::report {

// Empty when nothing was typed, an Int32 when the text is a whole number
// that fits, else the text itself (the operation's own rules then judge it).
Value IdentifierInput(std::string_view text);

// Empty when nothing was typed, else a String.
Value TextInput(std::string_view text);

// A date typed as dd/mm/yyyy or YYYY-MM-DD, as a Date; Empty when nothing
// was typed; nullopt for any other text.
std::optional<Value> DateInput(std::string_view text);

}  // namespace zebevi::report

#endif  // ZEBEVI_QUERY_INPUT_H_
