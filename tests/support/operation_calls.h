// Calling the fourteen operations by name, as the tests that compare two
// databases' answers do: a table of calls covering every kind of document,
// lookup and group of the reference data set, and one call of it on a
// connection string.
#ifndef ZEBEVI_TESTS_SUPPORT_OPERATION_CALLS_H_
#define ZEBEVI_TESTS_SUPPORT_OPERATION_CALLS_H_

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "schema/generator.h"
#include "zebevi/dispatch.h"

namespace zebevi::testing {

using Inputs = std::map<std::string, Value>;

// A call of `operation` with `inputs` (by parameter name; the rest start
// as new variables) on `connection_string`, given to the connection
// parameters as each takes it: a text, or a connection opened on it.
struct OperationCall {
  OperationCall(std::string_view operation, const Inputs& inputs,
                const std::string& connection_string);

  const OperationInfo* op;
  std::vector<Argument> args;
  Value result;
};

bool IsConnectionParam(const ParamInfo& param);

// Expects `actual` to give the result and the parameters (but the
// connection's) of `expected`.
void ExpectSameAnswer(const OperationCall& actual, const OperationCall& expected);

// Every operation with inputs covering each kind of document, lookup and
// group, for the diagnostic user (1) and another (2).
std::vector<std::pair<std::string, Inputs>> Calls(const schema::GeneratorSummary& s);

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SUPPORT_OPERATION_CALLS_H_
