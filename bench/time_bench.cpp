// The decimal-hour conversion, which the cycle measures run thirteen times
// per document.
#include <benchmark/benchmark.h>

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

}  // namespace
}  // namespace zebevi
