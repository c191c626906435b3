#include "bench/ratio_summary.h"

#include <cstdio>
#include <utility>

namespace zebevi::bench {

RatioSummary::RatioSummary(std::vector<Target> targets) : targets_(std::move(targets)) {}

void RatioSummary::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
      seen_.push_back({run.benchmark_name(), run.counters});
    }
  }
}

void RatioSummary::Finalize() {
  ConsoleReporter::Finalize();
  std::printf("\n%-58s %9s %12s  %s\n", "ratio", "measured", "target", "verdict");
  for (const Target& target : targets_) {
    const Seen* found = nullptr;
    for (const Seen& seen : seen_) {
      // The name, or the name and what Google Benchmark appends after a '/'.
      const bool named =
          seen.name == target.benchmark || seen.name.starts_with(target.benchmark + "/");
      if (named && seen.counters.count(target.counter)) {
        found = &seen;
      }
    }
    char limit[32] = "-";
    if (target.limit) {
      std::snprintf(limit, sizeof limit, "%s %.2f", target.at_most ? "<=" : ">=", *target.limit);
    }
    if (found == nullptr) {
      std::printf("%-58s %9s %12s  not run\n", target.label.c_str(), "-", limit);
      continue;
    }
    const double value = found->counters.at(target.counter).value;
    const char* verdict = "for reference";
    if (target.limit) {
      const bool met = target.at_most ? value <= *target.limit : value >= *target.limit;
      verdict = met ? "met" : "NOT MET";
    }
    std::printf("%-58s %9.3f %12s  %s\n", target.label.c_str(), value, limit, verdict);
  }
  std::fflush(stdout);
}

}  // namespace zebevi::bench
