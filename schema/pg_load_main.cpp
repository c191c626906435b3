// zebevi_pg_load: fills an empty PostgreSQL database with the reference
// freight database (schema, functions and a generated data set).
//   zebevi_pg_load CONNINFO [DOCUMENTS [SEED]]
// CONNINFO is libpq's "key=value ..." form or a "postgresql://" URI.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string_view>

#include "schema/postgres_generator.h"

namespace {

template <typename Number>
bool ReadNumber(std::string_view text, Number& n) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

int main(int argc, char** argv) {
  zebevi::schema::GeneratorOptions options;
  if (argc < 2 || argc > 4 || (argc > 2 && !ReadNumber(argv[2], options.documents)) ||
      (argc > 3 && !ReadNumber(argv[3], options.seed))) {
    std::fprintf(stderr, "usage: zebevi_pg_load CONNINFO [DOCUMENTS [SEED]]\n");
    return 2;
  }
  try {
    const auto summary = zebevi::schema::GeneratePostgres(argv[1], options);
    std::printf("%lld documents, %lld rows\n", static_cast<long long>(summary.documents),
                static_cast<long long>(summary.rows));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zebevi_pg_load: %s\n", e.what());
    return 1;
  }
}
