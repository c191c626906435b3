// The decimal-hour conversion, which the cycle measures run thirteen times
// per document, alone and against a plain function doing the same
// arithmetic.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/thread_time.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

void BM_ConverteDecimalHora(benchmark::State& state) {
  auto evi = CreateEVI();
  Value seconds = Value::Double(static_cast<double>(state.range(0)));
  Value tempo, message;
  for (auto _ : state) {
    benchmark::DoNotOptimize(evi->mConverte_Decimal_Hora(seconds, tempo, message));
  }
}
BENCHMARK(BM_ConverteDecimalHora)->Arg(0)->Arg(3599)->Arg(90061);

// Whole seconds as hours and minutes, the minutes truncated.
std::string PlainHoursMinutes(double seconds) {
  const long whole = static_cast<long>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld", whole / 3600, whole % 3600 / 60);
  return text;
}

// 1,024 durations of up to four days, as the cycle measures give them
// (whole seconds, the database's own form), scattered.
std::vector<double> Durations() {
  std::vector<double> durations;
  for (long k = 0; k < 1024; ++k) durations.push_back(static_cast<double>(k * 7919 % 345600));
  return durations;
}

// mConverte_Decimal_Hora and the plain function take turns over the same
// inputs, having first given the same answers; "ratio" is the first's CPU
// time over the second's.
void BM_ConverteVsPlain(benchmark::State& state) {
  auto evi = CreateEVI();
  const std::vector<double> durations = Durations();
  std::vector<Value> inputs;
  for (double d : durations) inputs.push_back(Value::Double(d));
  Value tempo, message;
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    if (!evi->mConverte_Decimal_Hora(inputs[k], tempo, message) ||
        tempo != Value::String(PlainHoursMinutes(durations[k]))) {
      state.SkipWithError(("the answers differ at " + std::to_string(durations[k])).c_str());
      return;
    }
  }
  std::chrono::nanoseconds ours{}, plain{};
  for (auto _ : state) {
    const auto start = bench::ThreadTime();
    for (Value& input : inputs) {
      benchmark::DoNotOptimize(evi->mConverte_Decimal_Hora(input, tempo, message));
    }
    const auto middle = bench::ThreadTime();
    for (double d : durations) benchmark::DoNotOptimize(PlainHoursMinutes(d));
    plain += bench::ThreadTime() - middle;
    ours += middle - start;
  }
  state.counters["ratio"] =
      std::chrono::duration<double>(ours).count() / std::chrono::duration<double>(plain).count();
}
BENCHMARK(BM_ConverteVsPlain)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zebevi
