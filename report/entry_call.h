// One call of an entry operation as any client of the component makes it:
// through the interface table, by name, on a new EVI object, with one
// by-reference argument per parameter, set and read back by parameter name.
#ifndef ZEBEVI_REPORT_ENTRY_CALL_H_
#define ZEBEVI_REPORT_ENTRY_CALL_H_

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <utility>
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
  // The parallel lists held by `lists` row by row: row i holds element i of
  // each, as many rows as the first list has elements (Empty past the end of
  // a shorter one).
  template <typename... Lists>
  std::vector<std::array<std::reference_wrapper<const Value>, sizeof...(Lists)>> Rows(
      Lists... lists) const {
    const std::array<std::span<const Value>, sizeof...(Lists)> columns{List(lists)...};
    std::vector<std::array<std::reference_wrapper<const Value>, sizeof...(Lists)>> rows;
    for (std::size_t row = 0; row < columns[0].size(); ++row) {
      rows.push_back([&]<std::size_t... I>(std::index_sequence<I...>) {
        return std::array{std::cref(ElementOr(columns[I], row))...};
      }(std::index_sequence_for<Lists...>{}));
    }
    return rows;
  }

 private:
  // The elements of the list a parameter holds; none when it holds no list.
  std::span<const Value> List(std::string_view param) const;
  // Element `index` of `list`; Empty past its end.
  static const Value& ElementOr(std::span<const Value> list, std::size_t index);

  std::size_t Position(std::string_view param) const;

  const OperationInfo& op_;
  std::vector<Argument> args_;
};

}  // namespace zebevi::report

#endif  // ZEBEVI_REPORT_ENTRY_CALL_H_
