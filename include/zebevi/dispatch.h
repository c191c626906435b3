// Calling operations by name or dispatch identifier, with a list of
// by-reference arguments, as a script host does. The interface table lists
// the fourteen operations of _EVI in order, with their parameters.
#ifndef ZEBEVI_DISPATCH_H_
#define ZEBEVI_DISPATCH_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "zebevi/evi.h"
#include "zebevi/value.h"

namespace zebevi {

enum class ParamKind { kValue, kString, kInt32, kInt32Array, kDbConnection, kObject };
enum class ResultKind { kValue, kBoolean };

struct ParamInfo {
  std::string_view name;
  ParamKind kind;
};

struct OperationInfo {
  std::string_view name;
  std::int32_t dispid;  // 0x60030000 + position
  std::vector<ParamInfo> params;
  ResultKind result;
};

// One by-reference argument. Value serves the Value and Object kinds;
// the operation writes its outputs back into the argument.
using Argument = std::variant<Value, std::string, std::int32_t, Int32Array, DbConnectionRef>;

// The argument a new variable of the kind starts as: Empty, "", 0, an
// unallocated array, an unset connection.
Argument NewArgument(ParamKind kind);
bool Holds(const Argument& argument, ParamKind kind);

const std::vector<OperationInfo>& InterfaceTable();

// Names are found without regard to letter case, as automation does.
// nullptr when there is no such operation.
const OperationInfo* FindOperation(std::string_view name);
const OperationInfo* FindOperation(std::int32_t dispid);

// Calls `op` on `object`; a Boolean result comes back as a Value holding a
// Boolean. A wrong argument count (450) or kind (13), or an unknown name or
// identifier (438), is an Error and the operation is not called.
Value Invoke(_EVI& object, const OperationInfo& op, std::span<Argument> args);
Value Invoke(_EVI& object, std::string_view name, std::span<Argument> args);
Value Invoke(_EVI& object, std::int32_t dispid, std::span<Argument> args);

}  // namespace zebevi

#endif  // ZEBEVI_DISPATCH_H_
