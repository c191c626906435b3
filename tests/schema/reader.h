// Generated databases read in the schema tests through the product's own
// SQLite sessions, and the reference data set every engine suite holds.
#ifndef ZEBEVI_TESTS_SCHEMA_READER_H_
#define ZEBEVI_TESTS_SCHEMA_READER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "db/session.h"
#include "schema/generator.h"
#include "support/engines.h"
#include "support/test_support.h"
#include "zebevi/db.h"

namespace zebevi::schema::test {

class Reader {
 public:
  explicit Reader(const std::string& connection_string) { connection_.Open(connection_string); }
  db::Table Query(std::string_view sql) { return connection_.session().Execute(sql); }
  std::int64_t Count(std::string_view sql) {
    return static_cast<std::int64_t>(ToDouble(Query(sql).rows.at(0).at(0)));
  }

 private:
  DbConnection connection_;
};

inline const testing::EngineReference& Reference() {
  return testing::ReferenceOn(testing::Engine::kSqlite);
}

inline GeneratorOptions Options(std::int64_t documents,
                                std::uint64_t seed = testing::kReferenceSeed) {
  GeneratorOptions options;
  options.documents = documents;
  options.seed = seed;
  return options;
}

}  // namespace zebevi::schema::test

#endif  // ZEBEVI_TESTS_SCHEMA_READER_H_
