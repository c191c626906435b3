// Values and arguments to and from JSON, in the command's tagged form
// {"type": T, "value": V}. Plain JSON scalars are accepted on input.
#ifndef ZEBEVI_CLI_JSON_VALUE_H_
#define ZEBEVI_CLI_JSON_VALUE_H_

#include <cstddef>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

#include "zebevi/dispatch.h"
#include "zebevi/value.h"

namespace zebevi::cli {

using Json = nlohmann::ordered_json;

// Bad input from the user (exit status 2).
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bounds on a JSON input, for the command line and for request bodies alike.
// An operation's parameter is at most an array of tagged values (four levels
// inside the input's object), so the depth leaves ample room; the size keeps
// a hostile input from taking the process's memory.
struct JsonLimits {
  static constexpr std::size_t kDefaultMaxBytes = 4 * 1024 * 1024;
  static constexpr int kDefaultMaxDepth = 32;

  std::size_t max_bytes = kDefaultMaxBytes;  // of the JSON text
  int max_depth = kDefaultMaxDepth;          // arrays and objects inside each other
};

// Parses a JSON input within `limits`. Throws UsageError when the text is
// larger than max_bytes, nests deeper than max_depth or is not JSON.
Json ParseJsonInput(std::string_view text, const JsonLimits& limits);
// The same for a stream, of which at most max_bytes + 1 bytes are read.
Json ParseJsonInput(std::istream& in, const JsonLimits& limits);

// A short excerpt of `json` for a message: the start of its text, cut with
// "…" when longer, so a refused input is never echoed whole.
std::string JsonExcerpt(const Json& json);

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

// Writes TaggedJson(argument) to `out` in its compact form, invalid UTF-8
// replaced, without building the tree of an array first: a large array
// costs its text, not a JSON tree several times its size.
void WriteTaggedJson(std::ostream& out, const Argument& argument);

// `json` in its compact form, invalid UTF-8 replaced, never failing.
std::string CompactJson(const Json& json);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_JSON_VALUE_H_
