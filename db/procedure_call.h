// Procedure calls in command texts. A command whose first word is EXEC (any
// letter case) names a procedure, then lists its arguments:
//   EXEC name [literal {, literal}]
// where name is a plain identifier ([A-Za-z_][A-Za-z0-9_]*) and each literal
// is a number (optional sign, digits, optional fraction and exponent), a
// text in single quotes with embedded quotes doubled, or NULL (any letter
// case). Blanks may surround anything. Every engine binds the arguments as
// parameters; argument text never reaches the engine's SQL, so anything
// that is not such a literal is refused here.
#ifndef ZEBEVI_DB_PROCEDURE_CALL_H_
#define ZEBEVI_DB_PROCEDURE_CALL_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zebevi::db {

struct NullLiteral {
  bool operator==(const NullLiteral&) const = default;
};

// An argument: NULL, an integer (one that fits 64 bits, written without
// fraction or exponent), any other number, or a text.
using Literal = std::variant<NullLiteral, std::int64_t, double, std::string>;

struct ProcedureCall {
  std::string name;
  std::vector<Literal> args;
};

// The call `command` makes, or nullopt when its first word is not EXEC (the
// command is then plain SQL). A malformed call (no name, a name that is not
// a plain identifier, an argument that is not a literal, a missing
// argument, anything after the last argument) is a command failure whose
// text names the problem.
std::optional<ProcedureCall> ParseProcedureCall(std::string_view command);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_PROCEDURE_CALL_H_
