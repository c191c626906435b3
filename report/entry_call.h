// One call of an entry operation as any client of the component makes it:
// through the interface table, by name, on a new EVI object, with one
// by-reference argument per parameter, set and read back by parameter name.
#ifndef ZEBEVI_REPORT_ENTRY_CALL_H_
#define ZEBEVI_REPORT_ENTRY_CALL_H_

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "zebevi/dispatch.h"
#include "zebevi/value.h"

namespace zebevi::report {

class EntryCall {
 public:
  // REQUIRES: `operation` is in the interface table and takes Value
  // parameters only (as every entry operation does).
  explicit EntryCall(std::string_view operation);

  // Sets a parameter before the call; the others start as new variables.
  void Set(std::string_view param, Value value);

  // Calls the operation and returns its result code. A failed call throws
  // the zebevi::Error it ended with.
  std::int32_t Run();

  // A parameter as the call left it.
  const Value& Get(std::string_view param) const;
  // The elements of the list a parameter holds; none when it holds no list.
  std::span<const Value> List(std::string_view param) const;

 private:
  std::size_t Position(std::string_view param) const;

  const OperationInfo& op_;
  std::vector<Argument> args_;
};

// Element `index` of `list`; Empty past its end.
const Value& ElementOr(std::span<const Value> list, std::size_t index);

}  // namespace zebevi::report

#endif  // ZEBEVI_REPORT_ENTRY_CALL_H_
