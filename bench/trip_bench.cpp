// The whole trip summary on generated reference databases (six queries on
// one pooled connection, as a tracking page asks for it), against its floor
// (trip_floor.h) on both engines, at 10 thousand and a million documents,
// on one and two threads, and over many calls.
//
// Documents are visited in one scattered order (a stride through all of
// them), the same for zebevi and its floor, which run alternately, the same
// document one after the other, so that both see the same caches and the
// same load on the machine. On SQLite all the work is the calling thread's,
// so its CPU time is counted, which other processes on a busy machine do
// not inflate; on PostgreSQL the server does most of it, so the time on the
// wall is counted.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <latch>
#include <optional>
#include <thread>

#include "bench/reference_databases.h"
#include "bench/sqlite_floor.h"
#include "bench/thread_time.h"
#ifdef ZEBEVI_WITH_POSTGRES
#include "bench/pg_floor.h"
#endif
#include "zebevi/evi.h"

namespace zebevi {
namespace {

using bench::ReferenceDatabase;
using Clock = std::chrono::steady_clock;
using Nanoseconds = std::chrono::nanoseconds;

Nanoseconds WallTime() { return Clock::now().time_since_epoch(); }

struct SqliteEngine {
  static bench::SqliteFloor MakeFloor(const std::string& path) { return bench::SqliteFloor(path); }
  static Nanoseconds Now() { return bench::ThreadTime(); }
  static std::optional<ReferenceDatabase> Reference(std::int64_t documents, std::string&) {
    return bench::SqliteReference(documents);
  }
};

// Against a floor that, like zebevi's summary on SQLite, reads each
// summary's queries in one read transaction: zebevi's own cost alone.
struct SqliteOneReadEngine : SqliteEngine {
  static bench::SqliteFloor MakeFloor(const std::string& path) {
    return bench::SqliteFloor(path, {.one_read = true});
  }
};

// zebevi reading the file through a warm memory map, and so its floor.
struct SqliteMappedEngine : SqliteEngine {
  static bench::SqliteFloor MakeFloor(const std::string& path) {
    return bench::SqliteFloor(path, {.mapped = true});
  }
  static std::optional<ReferenceDatabase> Reference(std::int64_t documents, std::string&) {
    return bench::SqliteMappedReference(documents);
  }
};

#ifdef ZEBEVI_WITH_POSTGRES
struct PostgresEngine {
  static bench::PostgresFloor MakeFloor(const std::string& conninfo) {
    return bench::PostgresFloor(conninfo);
  }
  static Nanoseconds Now() { return WallTime(); }
  static std::optional<ReferenceDatabase> Reference(std::int64_t documents, std::string& why) {
    return bench::PostgresReference(documents, why);
  }
};
#endif

// The k-th document of the scattered order through `documents` of them.
std::int64_t ScatteredDocument(std::int64_t k, std::int64_t documents) {
  constexpr std::int64_t kStride = 104729;  // a prime: every document comes once per round
  return (k % documents) * kStride % documents + 1;
}

Value TripSummary(_EVI& evi, const std::string& connection, std::int64_t document) {
  std::vector<Value> v(47);
  v[0] = Value::String(connection);
  v[1] = Value::Int32(5);
  v[5] = Value::Int32(static_cast<std::int32_t>(document));
  return evi.gConsulta_Espelho_Viagem(
      v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12], v[13], v[14],
      v[15], v[16], v[17], v[18], v[19], v[20], v[21], v[22], v[23], v[24], v[25], v[26], v[27],
      v[28], v[29], v[30], v[31], v[32], v[33], v[34], v[35], v[36], v[37], v[38], v[39], v[40],
      v[41], v[42], v[43], v[44], v[45], v[46]);
}

double Seconds(Nanoseconds d) { return std::chrono::duration<double>(d).count(); }

// Runs `work` and returns how long it took by `now`.
template <typename Work>
Nanoseconds Timed(Work&& work, Nanoseconds (*now)() = WallTime) {
  const Nanoseconds start = now();
  work();
  return now() - start;
}

// The summary must deliver (status 0), or the figures mean nothing.
bool Delivered(benchmark::State& state, const Value& status, std::int64_t document) {
  if (status == Value::Int16(0)) return true;
  state.SkipWithError(("no summary for document " + std::to_string(document)).c_str());
  return false;
}

// The old measure: the summary alone, on SQLite. At 10 thousand and a
// million documents it is also what bench/instructions-at-scale counts.
void BM_TripSummary(benchmark::State& state) {
  auto evi = CreateEVI();
  const std::string connection = bench::SqliteReference(state.range(0)).connection_string;
  std::int64_t k = 0;
  for (auto _ : state) {
    const std::int64_t document = ScatteredDocument(k++, state.range(0));
    if (!Delivered(state, TripSummary(*evi, connection, document), document)) break;
  }
}
BENCHMARK(BM_TripSummary)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

// zebevi and its floor on the same reference database, timed alternately
// by the engine's clock, document by document.
template <typename Engine>
class SideBySide {
 public:
  explicit SideBySide(const ReferenceDatabase& reference)
      : reference_(reference), floor_(Engine::MakeFloor(reference.native)) {}

  // Both summaries of `document`; false, the benchmark skipped, when
  // zebevi's was not delivered.
  bool Summary(benchmark::State& state, _EVI& evi, std::int64_t document) {
    Value status;
    auto ours = [&] { status = TripSummary(evi, reference_.connection_string, document); };
    auto theirs = [&] { checksum_ += floor_.Summary(document); };
    // Each goes first every other time, so neither always finds the
    // other's work in the caches.
    zebevi_first_ = !zebevi_first_;
    if (zebevi_first_) {
      zebevi_ += Timed(ours, Engine::Now);
      floor_time_ += Timed(theirs, Engine::Now);
    } else {
      floor_time_ += Timed(theirs, Engine::Now);
      zebevi_ += Timed(ours, Engine::Now);
    }
    benchmark::DoNotOptimize(checksum_);
    return Delivered(state, status, document);
  }
  double ZebeviSeconds() const { return Seconds(zebevi_); }
  double FloorSeconds() const { return Seconds(floor_time_); }

 private:
  const ReferenceDatabase& reference_;
  decltype(Engine::MakeFloor(std::string())) floor_;
  Nanoseconds zebevi_{}, floor_time_{};
  std::int64_t checksum_ = 0;
  bool zebevi_first_ = false;
};

// The counter "ratio" is zebevi's time over the floor's.
template <typename Engine>
void BM_TripVsFloor(benchmark::State& state) {
  const std::int64_t documents = state.range(0);
  std::string why;
  const std::optional<ReferenceDatabase> reference = Engine::Reference(documents, why);
  if (!reference) {
    state.SkipWithError(why.c_str());
    return;
  }
  auto evi = CreateEVI();
  SideBySide<Engine> run(*reference);
  std::int64_t k = 0;
  for (auto _ : state) {
    if (!run.Summary(state, *evi, ScatteredDocument(k++, documents))) return;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["zebevi_us"] = run.ZebeviSeconds() / n * 1e6;
  state.counters["floor_us"] = run.FloorSeconds() / n * 1e6;
  state.counters["ratio"] = run.ZebeviSeconds() / run.FloorSeconds();
}
BENCHMARK_TEMPLATE(BM_TripVsFloor, SqliteEngine)
    ->Name("BM_TripVsFloor/SQLite")
    ->Arg(10000)
    ->Arg(1000000)
    ->MinTime(3)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_TripVsFloor, SqliteOneReadEngine)
    ->Name("BM_TripVsOneReadFloor/SQLite")
    ->Arg(10000)
    ->Arg(1000000)
    ->MinTime(3)
    ->Unit(benchmark::kMicrosecond);
#ifdef ZEBEVI_WITH_POSTGRES
BENCHMARK_TEMPLATE(BM_TripVsFloor, PostgresEngine)
    ->Name("BM_TripVsFloor/PostgreSQL")
    ->Arg(10000)
    ->Arg(1000000)
    ->MinTime(3)
    ->Unit(benchmark::kMicrosecond);
#endif

// The cost of one summary on a million documents over its cost on ten
// thousand, the two databases taking turns; beside it the floor's own
// growth on the same documents, which is what the engine's reading of a
// larger file costs whoever reads it.
template <typename Engine>
void BM_CostAtScale(benchmark::State& state) {
  std::string why;
  const std::optional<ReferenceDatabase> small = Engine::Reference(10000, why);
  const std::optional<ReferenceDatabase> large = Engine::Reference(1000000, why);
  if (!small || !large) {
    state.SkipWithError(why.c_str());
    return;
  }
  auto evi = CreateEVI();
  SideBySide<Engine> on_small(*small), on_large(*large);
  std::int64_t k = 0;
  for (auto _ : state) {
    if (!on_small.Summary(state, *evi, ScatteredDocument(k, 10000)) ||
        !on_large.Summary(state, *evi, ScatteredDocument(k, 1000000))) {
      return;
    }
    ++k;
  }
  state.counters["large_vs_small"] = on_large.ZebeviSeconds() / on_small.ZebeviSeconds();
  state.counters["floor_large_vs_small"] = on_large.FloorSeconds() / on_small.FloorSeconds();
}
BENCHMARK_TEMPLATE(BM_CostAtScale, SqliteEngine)
    ->Name("BM_CostAtScale/SQLite")
    ->MinTime(3)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_CostAtScale, SqliteMappedEngine)
    ->Name("BM_CostAtScale/SQLiteMapped")
    ->MinTime(3)
    ->Unit(benchmark::kMicrosecond);
#ifdef ZEBEVI_WITH_POSTGRES
BENCHMARK_TEMPLATE(BM_CostAtScale, PostgresEngine)
    ->Name("BM_CostAtScale/PostgreSQL")
    ->MinTime(3)
    ->Unit(benchmark::kMicrosecond);
#endif

// Throughput of two threads (each its own EVI, pooled connections) over
// that of one: each iteration times `kTrips` summaries on one thread, then
// `kTrips` on each of two at once.
template <typename Engine>
void BM_TwoThreadsVsOne(benchmark::State& state) {
  constexpr std::int64_t kDocuments = 10000;
  const std::int64_t trips = state.range(0);
  std::string why;
  const std::optional<ReferenceDatabase> reference = Engine::Reference(kDocuments, why);
  if (!reference) {
    state.SkipWithError(why.c_str());
    return;
  }
  const std::string& connection = reference->connection_string;
  std::shared_ptr<_EVI> evis[2] = {CreateEVI(), CreateEVI()};
  std::atomic<bool> failed{false};
  auto run = [&](int thread, std::int64_t round) {
    for (std::int64_t k = 0; k < trips; ++k) {
      const std::int64_t document = ScatteredDocument((round * 2 + thread) * trips + k, kDocuments);
      if (TripSummary(*evis[thread], connection, document) != Value::Int16(0)) failed = true;
    }
  };
  auto both = [&](std::int64_t round) {
    std::latch start(2);
    std::thread other([&] {
      start.arrive_and_wait();
      run(1, round);
    });
    start.arrive_and_wait();
    run(0, round);
    other.join();
  };
  both(0);  // both pooled sessions open, every statement prepared
  Nanoseconds one{}, two{};
  std::int64_t round = 1;
  for (auto _ : state) {
    one += Timed([&] { run(0, round); });
    two += Timed([&] { both(round); });
    ++round;
  }
  if (failed) state.SkipWithError("a summary was not delivered");
  state.counters["two_vs_one"] = 2 * Seconds(one) / Seconds(two);
}
BENCHMARK_TEMPLATE(BM_TwoThreadsVsOne, SqliteEngine)
    ->Name("BM_TwoThreadsVsOne/SQLite")
    ->Arg(500)
    ->MinTime(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
#ifdef ZEBEVI_WITH_POSTGRES
BENCHMARK_TEMPLATE(BM_TwoThreadsVsOne, PostgresEngine)
    ->Name("BM_TwoThreadsVsOne/PostgreSQL")
    ->Arg(200)
    ->MinTime(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
#endif

// The process's resident memory but the file pages it shares, in
// megabytes: a database file an earlier benchmark left mapped is not the
// summaries' memory.
double ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0, shared = 0;
  statm >> pages >> resident >> shared;
  return static_cast<double>(resident - shared) * static_cast<double>(::sysconf(_SC_PAGESIZE)) /
         1e6;
}

// Resident memory after 20 thousand and after 200 thousand summaries.
void BM_TripMemory(benchmark::State& state) {
  constexpr std::int64_t kDocuments = 10000;
  const std::string connection = bench::SqliteReference(kDocuments).connection_string;
  auto evi = CreateEVI();
  double early = 0, late = 0;
  for (auto _ : state) {
    for (std::int64_t k = 0; k < 200000; ++k) {
      const std::int64_t document = ScatteredDocument(k, kDocuments);
      if (!Delivered(state, TripSummary(*evi, connection, document), document)) return;
      if (k + 1 == 20000) early = ResidentMegabytes();
    }
    late = ResidentMegabytes();
  }
  state.counters["rss_20k_MB"] = early;
  state.counters["rss_200k_MB"] = late;
  state.counters["rss_growth"] = late / early;
}
BENCHMARK(BM_TripMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zebevi
