#include "bench/reference_databases.h"

#ifdef ZEBEVI_WITH_POSTGRES
#include <libpq-fe.h>
#endif
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "bench/sqlite_floor.h"
#include "schema/generator.h"
#include "schema/sql_text.h"
#include "schema/sqlite_sink.h"
#include "zebevi/db.h"

namespace zebevi::bench {

const ReferenceDatabase& SqliteReference(std::int64_t documents) {
  static std::map<std::int64_t, ReferenceDatabase> made;
  auto [at, fresh] = made.try_emplace(documents);
  if (!fresh) return at->second;
  const char* folder = std::getenv("ZEBEVI_BENCH_DIR");
  const std::filesystem::path dir = folder ? folder : std::filesystem::temp_directory_path();
  const std::filesystem::path path = dir / ("zebevi-bench-" + std::to_string(documents) + ".db");
  if (!std::filesystem::exists(path)) {
    std::fprintf(stderr, "generating %s ...\n", path.c_str());
    // Generated aside and renamed, so an interrupted run leaves no half file.
    const std::filesystem::path partial = path.string() + ".part" + std::to_string(::getpid());
    schema::GeneratorOptions options;
    options.documents = documents;
    schema::GenerateSqlite(partial, options);
    std::filesystem::rename(partial, path);
  }
  {
    schema::SqliteDatabase database(path);
    database.Exec("BEGIN");
    database.Exec("DELETE FROM zeb_procedure");
    database.Exec(schema::SqliteProceduresSql());
    database.Exec("COMMIT");
  }
  at->second = {"sqlite:" + path.string(), path.string()};
  return at->second;
}

const ReferenceDatabase& SqliteMappedReference(std::int64_t documents) {
  static std::map<std::int64_t, ReferenceDatabase> made;
  auto [at, fresh] = made.try_emplace(documents);
  if (!fresh) return at->second;
  const std::string& path = SqliteReference(documents).native;
  // The summary opens a string that names no user with its built-in
  // account, which makes another pool entry; naming one keeps the session
  // warmed here the one the summaries take.
  at->second = {"Provider=SQLite;Data Source=" + path +
                    ";Memory Map MB=" + std::to_string(kMappedMegabytes) + ";User ID=bench",
                path};
  // The check reads every page through the map of that pooled session.
  DbRecordset check;
  check.Open("PRAGMA quick_check", at->second.connection_string);
  check.Close();
  return at->second;
}

std::optional<ReferenceDatabase> PostgresReference(std::int64_t documents, std::string& why) {
#ifndef ZEBEVI_WITH_POSTGRES
  static_cast<void>(documents);
  why = "this build has no PostgreSQL driver";
  return std::nullopt;
#else
  const char* server = std::getenv("ZEBEVI_BENCH_PG");
  if (server == nullptr || *server == '\0') {
    why = "set ZEBEVI_BENCH_PG to a server's libpq words (host, port, user, password)";
    return std::nullopt;
  }
  const std::string database = "zebevi_bench_" + std::to_string(documents);
  char* error = nullptr;
  std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
      PQconninfoParse(server, &error), PQconninfoFree);
  if (!options) {
    why = std::string("ZEBEVI_BENCH_PG: ") + (error ? error : "cannot be read");
    PQfreemem(error);
    return std::nullopt;
  }
  std::string zebevi = "Provider=PostgreSQL;Database=" + database;
  for (PQconninfoOption* option = options.get(); option->keyword; ++option) {
    if (option->val == nullptr) continue;
    const std::string keyword = option->keyword;
    if (keyword == "host") zebevi += ";Host=" + std::string(option->val);
    if (keyword == "port") zebevi += ";Port=" + std::string(option->val);
    if (keyword == "user") zebevi += ";User ID=" + std::string(option->val);
    if (keyword == "password") zebevi += ";Password=" + std::string(option->val);
  }
  ReferenceDatabase reference{zebevi, std::string(server) + " dbname=" + database};
  std::unique_ptr<PGconn, decltype(&PQfinish)> probe(PQconnectdb(reference.native.c_str()),
                                                     PQfinish);
  if (PQstatus(probe.get()) != CONNECTION_OK) {
    why = database + ": " + PQerrorMessage(probe.get()) + " (load it with zebevi_pg_load)";
    return std::nullopt;
  }
  return reference;
#endif
}

}  // namespace zebevi::bench
