// The entry operations (those that open their own connection) called from
// eight threads at once in one process, on the reference data set of each
// engine: every answer must equal the one a single thread got. Run under
// ThreadSanitizer by .ci/run.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/engines.h"
#include "support/operation_calls.h"

namespace zebevi::testing {
namespace {

constexpr int kThreads = 8;

class ConcurrentCalls : public EngineTest {};

TEST_P(ConcurrentCalls, EveryThreadGetsTheSingleThreadAnswers) {
  const std::string& db = reference().connection_string;
  std::vector<std::pair<std::string, Inputs>> calls;
  for (const auto& call : Calls(reference().summary)) {
    if (call.first[0] == 'g' && call.second.at("invntUsuario_Internet_id") == Value::Int32(2)) {
      calls.push_back(call);
    }
  }
  std::vector<OperationCall> expected;
  for (const auto& [operation, inputs] : calls) {
    expected.emplace_back(operation, inputs, db);
    // The answers are worth comparing: no call ended in the trap.
    EXPECT_NE(expected.back().result, Value::Int16(50)) << operation;
  }

  std::atomic<int> mismatches{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      // Each thread starts at another call, so different calls overlap.
      for (std::size_t k = 0; k < calls.size(); ++k) {
        const std::size_t i = (k + static_cast<std::size_t>(t) * 3) % calls.size();
        if (!SameAnswer(OperationCall(calls[i].first, calls[i].second, db), expected[i])) {
          ++mismatches;
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
