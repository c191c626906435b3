// One call of an operation through the component's interface, by name, with
// its by-reference arguments kept by parameter name. The friendly verbs fill
// the inputs they know, run the call and read the outputs exactly as
// `zebevi call` would print them.
#ifndef ZEBEVI_CLI_OPERATION_CALL_H_
#define ZEBEVI_CLI_OPERATION_CALL_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zebevi/dispatch.h"
#include "zebevi/value.h"

namespace zebevi::cli {

class OperationCall {
 public:
  // REQUIRES: `operation` is in the interface table.
  explicit OperationCall(std::string_view operation);

  // Sets a Value parameter before the call. Every parameter not set starts
  // as a new variable of its kind.
  void Set(std::string_view param, Value value);

  // Calls the operation on a new EVI object and returns its result. A failed
  // call throws the zebevi::Error it ended with.
  const Value& Run();
  // The result of the last Run (Empty before).
  const Value& result() const { return result_; }

  // A Value parameter as the call left it.
  const Value& Get(std::string_view param) const;

  // Element `index` of the list held by `param`; Empty when the parameter
  // holds no list or the list is shorter.
  const Value& Element(std::string_view param, std::size_t index) const;
  // The number of elements of the list held by `param` (0 for no list).
  std::size_t ListSize(std::string_view param) const;

  const OperationInfo& info() const { return *op_; }
  const std::vector<Argument>& args() const { return args_; }

 private:
  std::size_t Index(std::string_view param) const;

  const OperationInfo* op_;
  std::vector<Argument> args_;
  Value result_;
};

// The result code of an entry operation (0, 10 or 50).
std::int32_t ResultCode(const Value& result);

// A value as a person reads it: Empty and Null as "", dates as
// "dd/mm/yyyy hh:mm:ss", numbers with the decimal comma.
std::string DisplayText(const Value& value);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_OPERATION_CALL_H_
