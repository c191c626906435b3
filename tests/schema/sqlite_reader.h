// Reading a generated database in tests, straight through SQLite: plain
// queries and procedure calls through the zeb_procedure catalog; and one
// generated reference database per test program, shared by the tests that
// only read it.
#ifndef ZEBEVI_TESTS_SCHEMA_SQLITE_READER_H_
#define ZEBEVI_TESTS_SCHEMA_SQLITE_READER_H_

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "schema/generator.h"

struct sqlite3;

namespace zebevi::schema::test {

using Cell = std::variant<std::nullptr_t, std::int64_t, double, std::string>;

struct ResultSet {
  std::vector<std::string> columns;
  std::vector<std::vector<Cell>> rows;

  // Index of a column, found without regard to case; throws when missing.
  std::size_t column(std::string_view name) const;
  const Cell& at(std::size_t row, std::string_view name) const;
  std::int64_t integer(std::size_t row, std::string_view name) const;
  std::string text(std::size_t row, std::string_view name) const;
};

class SqliteReader {
 public:
  explicit SqliteReader(const std::filesystem::path& path);

  // Runs `sql` with `args` bound to ?1, ?2, ...; throws on any error.
  ResultSet Query(std::string_view sql, const std::vector<Cell>& args = {}) const;
  // Runs the catalog body of `procedure` with its arguments.
  ResultSet Call(std::string_view procedure, const std::vector<Cell>& args) const;
  std::int64_t Count(std::string_view sql, const std::vector<Cell>& args = {}) const;

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };
  std::unique_ptr<sqlite3, Closer> db_;
};

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

#endif  // ZEBEVI_TESTS_SCHEMA_SQLITE_READER_H_
