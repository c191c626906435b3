// The benchmark's own verdict: each benchmark that measures a ratio reports
// it as a counter, and this reporter, besides the usual console table,
// collects them and prints one summary of every ratio beside its target
// once the run is over, so that no figure is left to be worked out by hand.
// A ratio without a target is printed for reference: the floor's own
// growth, by which zebevi's is read.
#ifndef ZEBEVI_BENCH_RATIO_SUMMARY_H_
#define ZEBEVI_BENCH_RATIO_SUMMARY_H_

#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

namespace zebevi::bench {

// A ratio a benchmark reports: the counter `counter` of the benchmark
// named `benchmark` (with or without the "/..." that the run appends to
// the name), read against its target.
struct Target {
  std::string label;
  std::string benchmark;
  std::string counter;
  std::optional<double> limit;  // none: a figure to read the others by
  bool at_most = true;          // true: the ratio must not exceed `limit`; false: reach it
};

class RatioSummary : public benchmark::ConsoleReporter {
 public:
  explicit RatioSummary(std::vector<Target> targets);

  void ReportRuns(const std::vector<Run>& runs) override;
  // Prints the summary after the table.
  void Finalize() override;

 private:
  struct Seen {
    std::string name;
    benchmark::UserCounters counters;
  };
  std::vector<Target> targets_;
  std::vector<Seen> seen_;
};

}  // namespace zebevi::bench

#endif  // ZEBEVI_BENCH_RATIO_SUMMARY_H_
