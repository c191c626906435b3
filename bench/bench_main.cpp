// Runs the benchmarks and ends with the summary of every ratio against its
// target (ratio_summary.h).
#include <benchmark/benchmark.h>

#include "bench/ratio_summary.h"
#include "zebevi/db.h"
#include "zebevi/error.h"

int main(int argc, char** argv) {
  // zebevi makes its process-wide SQLite settings before SQLite starts,
  // unless its host started SQLite first. The benchmark's own SQLite work
  // (generating the databases, the floor) would be such a host, so a
  // first connection attempt lets zebevi start SQLite as it would on its
  // own; the file does not exist.
  try {
    zebevi::DbConnection().Open(
        "Provider=SQLite;Data Source=/nonexistent/zebevi-bench-start.db;Pooling=false");
  } catch (const zebevi::Error&) {
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  using zebevi::bench::Target;
  zebevi::bench::RatioSummary reporter({
      {"SQLite trip summary / floor, 10k documents", "BM_TripVsFloor/SQLite/10000", "ratio", 1.3,
       true},
      {"SQLite trip summary / floor, 1M documents", "BM_TripVsFloor/SQLite/1000000", "ratio", 1.3,
       true},
      {"SQLite trip summary / floor in one read, 10k documents",
       "BM_TripVsOneReadFloor/SQLite/10000", "ratio", std::nullopt},
      {"SQLite trip summary / floor in one read, 1M documents",
       "BM_TripVsOneReadFloor/SQLite/1000000", "ratio", std::nullopt},
      {"PostgreSQL trip summary / floor, 10k documents", "BM_TripVsFloor/PostgreSQL/10000", "ratio",
       1.3, true},
      {"PostgreSQL trip summary / floor, 1M documents", "BM_TripVsFloor/PostgreSQL/1000000",
       "ratio", 1.3, true},
      {"SQLite trip summary, 1M / 10k documents", "BM_CostAtScale/SQLite", "large_vs_small", 1.2,
       true},
      {"  its floor", "BM_CostAtScale/SQLite", "floor_large_vs_small", std::nullopt},
      {"SQLite trip summary read through a memory map, 1M / 10k", "BM_CostAtScale/SQLiteMapped",
       "large_vs_small", 1.2, true},
      {"  its floor", "BM_CostAtScale/SQLiteMapped", "floor_large_vs_small", std::nullopt},
      {"PostgreSQL trip summary, 1M / 10k documents", "BM_CostAtScale/PostgreSQL", "large_vs_small",
       1.2, true},
      {"  its floor", "BM_CostAtScale/PostgreSQL", "floor_large_vs_small", std::nullopt},
      {"SQLite throughput, 2 threads / 1 thread", "BM_TwoThreadsVsOne/SQLite", "two_vs_one", 1.7,
       false},
      {"PostgreSQL throughput, 2 threads / 1 thread", "BM_TwoThreadsVsOne/PostgreSQL", "two_vs_one",
       1.7, false},
      {"mConverte_Decimal_Hora / plain arithmetic and %02d:%02d", "BM_ConverteVsPlain", "ratio",
       3.0, true},
      {"resident memory, 200k / 20k trip summaries", "BM_TripMemory", "rss_growth", 1.1, true},
  });
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
