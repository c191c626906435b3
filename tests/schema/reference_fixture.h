// One generated reference database per test program, shared by the tests
// that only read it.
#ifndef ZEBEVI_TESTS_SCHEMA_REFERENCE_FIXTURE_H_
#define ZEBEVI_TESTS_SCHEMA_REFERENCE_FIXTURE_H_

#include <cstdint>
#include <filesystem>

#include "schema/generator.h"
#include "schema/sqlite_reader.h"

namespace zebevi::schema::test {

inline constexpr std::int64_t kReferenceDocuments = 300;
inline constexpr std::uint64_t kReferenceSeed = 1;

// Options without a progress callback.
inline GeneratorOptions Options(std::int64_t documents, std::uint64_t seed = kReferenceSeed) {
  GeneratorOptions options;
  options.documents = documents;
  options.seed = seed;
  return options;
}

struct Reference {
  std::filesystem::path path;
  GeneratorSummary summary;
  const SqliteReader& db;
};

// Generated on first use, removed when the program ends.
const Reference& SharedReference();

}  // namespace zebevi::schema::test

#endif  // ZEBEVI_TESTS_SCHEMA_REFERENCE_FIXTURE_H_
