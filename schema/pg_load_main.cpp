// zebevi_pg_load: fills empty PostgreSQL databases with the reference
// freight database (schema, functions and a generated data set).
//   zebevi_pg_load CONNINFO [DOCUMENTS [SEED]]
//   zebevi_pg_load --shards N PROXY SHARD_1 ... SHARD_N [DOCUMENTS [SEED]]
// CONNINFO is libpq's "key=value ..." form or a "postgresql://" URI. The
// second form loads the same data set into N shards and their proxy (a
// superuser's connection: see GeneratePostgresSharded).
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "schema/postgres_generator.h"
#include "schema/shard_placement.h"

namespace {

template <typename Number>
bool ReadNumber(std::string_view text, Number& n) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  return ec == std::errc() && end == text.data() + text.size();
}

int Usage() {
  std::fprintf(stderr,
               "usage: zebevi_pg_load CONNINFO [DOCUMENTS [SEED]]\n"
               "       zebevi_pg_load --shards N PROXY SHARD_1 ... SHARD_N [DOCUMENTS [SEED]]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  int shards = 0;
  if (!args.empty() && args.front() == "--shards") {
    if (args.size() < 2 || !ReadNumber(args[1], shards) ||
        !zebevi::schema::ValidShardCount(shards)) {
      return Usage();
    }
    args.erase(args.begin(), args.begin() + 2);
  }
  const std::size_t databases = shards == 0 ? 1 : static_cast<std::size_t>(shards) + 1;
  zebevi::schema::GeneratorOptions options;
  if (args.size() < databases || args.size() > databases + 2 ||
      (args.size() > databases && !ReadNumber(args[databases], options.documents)) ||
      (args.size() > databases + 1 && !ReadNumber(args[databases + 1], options.seed))) {
    return Usage();
  }
  try {
    const std::vector<std::string> shard_conninfos(args.begin() + 1, args.begin() + databases);
    const auto summary = shards == 0
                             ? zebevi::schema::GeneratePostgres(std::string(args.front()), options)
                             : zebevi::schema::GeneratePostgresSharded(std::string(args.front()),
                                                                       shard_conninfos, options);
    std::printf("%lld documents, %lld rows\n", static_cast<long long>(summary.documents),
                static_cast<long long>(summary.rows));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zebevi_pg_load: %s\n", e.what());
    return 1;
  }
}
