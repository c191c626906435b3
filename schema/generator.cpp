#include "schema/generator.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "schema/dataset.h"
#include "schema/sqlite_sink.h"

namespace zebevi::schema {
namespace {

// Creates `path` as an empty file, failing when it already exists: checking
// first and creating after would leave a moment in which another process
// could create it in between.
void CreateNewFile(const std::filesystem::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  if (!file) {
    const int error = errno;
    throw std::runtime_error("cannot create " + path.string() + ": " +
                             (error == EEXIST ? std::string("the file already exists")
                                              : std::string(std::strerror(error))));
  }
  std::fclose(file);
}

// No journal and no syncs: a failed load deletes the file anyway, so there
// is nothing to protect until the database is complete.
constexpr std::string_view kLoadSettings =
    "PRAGMA journal_mode = OFF;"
    "PRAGMA synchronous = OFF;"
    "PRAGMA locking_mode = EXCLUSIVE;"
    "PRAGMA cache_size = -262144;";

void RemovePartial(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

GeneratorSummary Fill(const std::filesystem::path& path, const GeneratorOptions& options) {
  SqliteDatabase database(path);
  database.Exec(kLoadSettings);
  database.Exec("BEGIN");
  database.Exec(SqliteTablesSql());
  GeneratorSummary summary;
  {
    SqliteSink sink(database);
    summary = ProduceDataSet(sink, options);
  }
  database.Exec(SqliteIndexesSql());
  database.Exec(SqliteProceduresSql());
  database.Exec("COMMIT");
  // A sample of each index is enough for the planner's statistics.
  database.Exec("PRAGMA analysis_limit = 1000; ANALYZE");
  return summary;
}

}  // namespace

GeneratorSummary GenerateSqlite(const std::filesystem::path& path,
                                const GeneratorOptions& options) {
  CreateNewFile(path);
  try {
    return Fill(path, options);
  } catch (const std::exception& e) {
    RemovePartial(path);
    throw std::runtime_error("cannot generate the reference database " + path.string() + ": " +
                             e.what());
  } catch (...) {
    RemovePartial(path);
    throw;
  }
}

}  // namespace zebevi::schema
