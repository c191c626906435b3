// Values and arguments to and from JSON, in the command's tagged form
// {"type": T, "value": V}. Plain JSON scalars are accepted on input.
#ifndef ZEBEVI_CLI_JSON_VALUE_H_
#define ZEBEVI_CLI_JSON_VALUE_H_

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "zebevi/dispatch.h"
#include "zebevi/value.h"

namespace zebevi::cli {

using Json = nlohmann::ordered_json;

// Bad input from the user (exit status 2).
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A JSON input value as a Value: a string is a String, an integer within 32
// bits an Int32, any other number a Double, true/false a Boolean, null the
// Null kind, a tagged object any kind exactly. Throws UsageError.
Value ValueFromJson(const Json& json);

// The tagged form of a value; "value" is absent for Empty, Null and Object.
// Dates are written "YYYY-MM-DDTHH:MM:SS".
Json TaggedJson(const Value& value);

// A parameter of `kind` from its JSON input (connections are not built
// here). Throws UsageError when the input does not fit the kind.
Argument ArgumentFromJson(const Json& json, ParamKind kind);

// The tagged form of an argument after a call: a String as a tagged String,
// an Int32 as a tagged Int32, an array as a tagged Array (Empty while
// unallocated), a connection as Object (Empty while unset).
Json TaggedJson(const Argument& argument);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_JSON_VALUE_H_
