// The value rules on the paths every query takes: field text, dates and
// amounts through their pictures, and the arguments of command texts.
#include <benchmark/benchmark.h>

#include "zebevi/value.h"
#include "zebevi/value_rules.h"

namespace zebevi {
namespace {

void BM_FormatDateTime(benchmark::State& state) {
  const Value date = Value::Date(46086.58829861111);  // 05/03/2026 14:07:09
  for (auto _ : state) benchmark::DoNotOptimize(Format(Rules().AsText(date), "dd/mm/yyyy hh:mm:ss"));
}
BENCHMARK(BM_FormatDateTime);

void BM_FormatAmount(benchmark::State& state) {
  const Value amount = Value::Double(1234567.891);
  for (auto _ : state) benchmark::DoNotOptimize(Format(amount, "#,##0.00"));
}
BENCHMARK(BM_FormatAmount);

void BM_NumberText(benchmark::State& state) {
  double d = 23.99972222222222;
  for (auto _ : state) benchmark::DoNotOptimize(NumberText(d));
}
BENCHMARK(BM_NumberText);

void BM_SqlArguments(benchmark::State& state) {
  const Value id = Value::Int32(123456);
  const Value flag("S");
  for (auto _ : state) {
    std::string command = "Exec SP_ZEB_CON_Dados_Doc_Viagem11 ";
    command += Rules().SqlNumber(id) + ", " + Rules().SqlNumber(Value::Int32(0)) + ", " +
               Rules().SqlText(flag) + " ";
    benchmark::DoNotOptimize(command);
  }
}
BENCHMARK(BM_SqlArguments);

}  // namespace
}  // namespace zebevi
