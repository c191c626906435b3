// The trip summary, the lookups and the feature flags called from eight
// threads at once in one process, on the reference data set of each engine:
// every answer must equal the one a single thread got. Run under
// ThreadSanitizer by .ci/run.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/engines.h"
#include "support/value_printer.h"
#include "zebevi/dispatch.h"
#include "zebevi/evi.h"

namespace zebevi::testing {
namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 3;

// One call by name: the inputs given, every other parameter new.
struct Call {
  std::string operation;
  std::vector<std::pair<std::string, Value>> inputs;
};

// What a call answered: its result and every parameter after it.
struct Answer {
  Value result;
  std::vector<Argument> args;
  bool operator==(const Answer&) const = default;
};

Answer Answered(const Call& call) {
  const OperationInfo* op = FindOperation(call.operation);
  Answer answer;
  for (const ParamInfo& param : op->params) {
    Argument arg = NewArgument(param.kind);
    for (const auto& [name, value] : call.inputs) {
      if (param.name == name) arg = value;
    }
    answer.args.push_back(std::move(arg));
  }
  answer.result = Invoke(*CreateEVI(), *op, answer.args);
  return answer;
}

class ConcurrentCalls : public EngineTest {
 protected:
  std::vector<Call> Calls() const {
    const schema::GeneratorSummary& s = reference().summary;
    const Value db(reference().connection_string);
    const auto id = [](std::int64_t n) { return Value::Int32(static_cast<std::int32_t>(n)); };
    std::vector<Call> calls;
    for (std::int64_t document :
         {s.exchanged_document_id, s.plain_document_id, s.document_without_route_id,
          s.document_without_cycle_id, s.document_without_arrival_id}) {
      calls.push_back({"gConsulta_Espelho_Viagem",
                       {{"invntConecta_db", db},
                        {"invntUsuario_Internet_id", Value::Int32(5)},
                        {"invntDOCTO_TRANSPORTE_ID", id(document)}}});
    }
    calls.push_back({"gValida_Num_Documento",
                     {{"invntConecta_db", db},
                      {"invntUsuario_Internet_id", Value::Int32(5)},
                      {"invntempresa_Id", id(s.multi_document_order_company_id)},
                      {"invntNum_Pedido", Value(s.multi_document_order)},
                      {"invntNota_Fiscal", Value("")},
                      {"invntNum_Docto_Transporte", Value("")}}});
    calls.push_back({"gValida_Num_Pedido_Publ",
                     {{"invntConecta_db", db},
                      {"invntUsuario_Internet_id", Value::Int32(5)},
                      {"invntempresa_Id", id(s.multi_document_order_company_id)},
                      {"invntNum_Pedido", Value(s.multi_document_order)}}});
    for (std::int64_t group : {s.granted_user_group_id, s.refused_user_group_id}) {
      calls.push_back({"gConsulta_Grupo_Usuario_Parti",
                       {{"invntConecta_db", db},
                        {"invntUsuario_Internet_id", Value::Int32(5)},
                        {"invntGrupo_Usuario_Id", id(group)}}});
    }
    return calls;
  }
};

TEST_P(ConcurrentCalls, EveryThreadGetsTheSingleThreadAnswers) {
  const std::vector<Call> calls = Calls();
  std::vector<Answer> expected;
  for (const Call& call : calls) expected.push_back(Answered(call));
  // The answers are worth comparing: every call answered 0.
  for (std::size_t i = 0; i < calls.size(); ++i) {
    ASSERT_EQ(ToInt32(expected[i].result), 0) << calls[i].operation << " #" << i;
  }

  std::atomic<int> mismatches{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      for (int round = 0; round < kRounds; ++round) {
        // Each thread starts at another call, so different calls overlap.
        for (std::size_t k = 0; k < calls.size(); ++k) {
          const std::size_t i = (k + static_cast<std::size_t>(t)) % calls.size();
          if (!(Answered(calls[i]) == expected[i])) ++mismatches;
        }
      }
    });
  }
  go = true;
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
}

ZEBEVI_INSTANTIATE_ON_ENGINES(ConcurrentCalls);

}  // namespace
}  // namespace zebevi::testing
