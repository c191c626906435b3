#include "schema/reference_fixture.h"

#include <memory>

#include "support/test_support.h"

namespace zebevi::schema::test {
namespace {

struct Generated {
  zebevi::testing::TempDir dir;
  std::filesystem::path path = dir / "reference.db";
  GeneratorSummary summary = GenerateSqlite(path, Options(kReferenceDocuments));
  SqliteReader reader{path};
};

}  // namespace

const Reference& SharedReference() {
  static const Generated generated;
  static const Reference reference{generated.path, generated.summary, generated.reader};
  return reference;
}

}  // namespace zebevi::schema::test
