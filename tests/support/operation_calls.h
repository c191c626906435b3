// The fourteen operations called by name, for the tests that compare two
// databases' answers.
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

// `operation` called with `inputs` by parameter name (the rest new), its
// connection parameters given `connection_string` as each takes it.
struct OperationCall {
  OperationCall(std::string_view operation, const Inputs& inputs,
                const std::string& connection_string);

  const OperationInfo* op;
  std::vector<Argument> args;
  Value result;
};

// Whether `a` gave the result and the parameters (but the connection's) of
// `b`; ExpectSameAnswer says which differ.
bool SameAnswer(const OperationCall& a, const OperationCall& b);
void ExpectSameAnswer(const OperationCall& actual, const OperationCall& expected);

// Makes every one of `calls` on both strings and expects the same answers,
// and every operation of the interface among them.
void ExpectSameAnswers(const std::vector<std::pair<std::string, Inputs>>& calls,
                       const std::string& expected, const std::string& actual);

// Every operation with inputs covering each kind of document, lookup and
// group, for the diagnostic user (1) and another (2).
std::vector<std::pair<std::string, Inputs>> Calls(const schema::GeneratorSummary& s);

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SUPPORT_OPERATION_CALLS_H_
