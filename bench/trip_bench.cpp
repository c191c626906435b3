// The whole trip summary on a generated reference database: six queries on
// one pooled connection, as a tracking page asks for it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <unistd.h>

#include "schema/generator.h"
#include "zebevi/evi.h"

namespace zebevi {
namespace {

// A reference database of `documents` documents, made once per size.
const std::string& Database(std::int64_t documents) {
  static std::map<std::int64_t, std::string> made;
  auto [at, fresh] = made.try_emplace(documents);
  if (fresh) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("zebevi-bench-" + std::to_string(::getpid()) + "-" +
                       std::to_string(documents) + ".db");
    std::filesystem::remove(path);
    schema::GeneratorOptions options;
    options.documents = documents;
    schema::GenerateSqlite(path, options);
    at->second = "sqlite:" + path.string();
  }
  return at->second;
}

void BM_TripSummary(benchmark::State& state) {
  auto evi = CreateEVI();
  const std::string connection = Database(state.range(0));
  std::int64_t document = 1;
  for (auto _ : state) {
    std::vector<Value> v(47);
    v[0] = Value::String(connection);
    v[1] = Value::Int32(5);
    v[5] = Value::Int32(static_cast<std::int32_t>(document));
    const Value status = evi->gConsulta_Espelho_Viagem(
        v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12], v[13],
        v[14], v[15], v[16], v[17], v[18], v[19], v[20], v[21], v[22], v[23], v[24], v[25], v[26],
        v[27], v[28], v[29], v[30], v[31], v[32], v[33], v[34], v[35], v[36], v[37], v[38], v[39],
        v[40], v[41], v[42], v[43], v[44], v[45], v[46]);
    benchmark::DoNotOptimize(status);
    document = document % state.range(0) + 1;
  }
}
BENCHMARK(BM_TripSummary)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zebevi
