// The fourteen operations called by name: for the tests that compare two
// databases' answers, and for tables of one operation's inputs and outputs.
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
// connection parameters given `connection_string` as each takes it unless
// `inputs` names them (an unset connection for a DbConnection).
struct OperationCall {
  OperationCall(std::string_view operation, const Inputs& inputs,
                const std::string& connection_string);

  // The argument named `name` as a Value: texts and numbers as such, a
  // list of numbers as an array, an unallocated one as Empty.
  Value operator[](std::string_view name) const;

  const OperationInfo* op;
  std::vector<Argument> args;
  Value result;
};

// `inputs` over a marker in every output of `operation` (each parameter
// named out...): "in", or -1 for a number and {-1} for a list of them, so
// that the outputs a call leaves alone show.
Inputs Marked(std::string_view operation, Inputs inputs);

// Expects `result`, and every argument but the connections as `changed`
// names it, else as `inputs` passed it.
void ExpectCall(const OperationCall& call, const Inputs& inputs, const Value& result,
                const Inputs& changed);

// One call of a table: `inputs` over marked outputs, the answer it must
// give and the number of commands it must send.
struct CallRow {
  const char* name;
  Inputs inputs;
  Value result;
  Inputs changed;
  std::size_t commands = 1;
};
void ExpectCalls(std::string_view operation, const std::vector<CallRow>& rows,
                 const std::string& connection_string);

// `base` with `more` over it.
Inputs With(Inputs base, const Inputs& more);
// `values` given to the first outputs of `operation`, in interface order.
Inputs InOrder(std::string_view operation, const std::vector<Value>& values);

// Whether `a` gave the result and the parameters (but the connection's) of `b`.
bool SameAnswer(const OperationCall& a, const OperationCall& b);

// Makes every one of `calls` on both strings and expects the same answers,
// and every operation of the interface among them.
void ExpectSameAnswers(const std::vector<std::pair<std::string, Inputs>>& calls,
                       const std::string& expected, const std::string& actual);

// Every operation with inputs covering each kind of document, lookup and
// group, for the diagnostic user (1) and another (2).
std::vector<std::pair<std::string, Inputs>> Calls(const schema::GeneratorSummary& s);

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SUPPORT_OPERATION_CALLS_H_
