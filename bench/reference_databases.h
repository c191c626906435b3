// The generated reference databases the benchmarks read, one per size.
//
// SQLite: /tmp/zebevi-bench-N.db (or under $ZEBEVI_BENCH_DIR), generated on
// first use with the fixed seed and kept for later runs (a million
// documents take most of a minute and over a gigabyte); its procedures are
// replaced by this build's on every run, so a kept file never runs old
// bodies.
//
// PostgreSQL: the database zebevi_bench_N on the server that
// $ZEBEVI_BENCH_PG names (libpq "key=value" words without dbname), loaded
// beforehand with `zebevi_pg_load "... dbname=zebevi_bench_N" N`.
#ifndef ZEBEVI_BENCH_REFERENCE_DATABASES_H_
#define ZEBEVI_BENCH_REFERENCE_DATABASES_H_

#include <cstdint>
#include <optional>
#include <string>

namespace zebevi::bench {

struct ReferenceDatabase {
  std::string connection_string;  // for zebevi
  std::string native;             // the file path, or the libpq conninfo
};

// REQUIRES: called from one thread at a time (benchmark set-up).
const ReferenceDatabase& SqliteReference(std::int64_t documents);

// The same file read through a memory map ("Memory Map MB"), the map
// warmed once by reading every page, as a long-running server's pooled
// connection has it. REQUIRES: as SqliteReference.
const ReferenceDatabase& SqliteMappedReference(std::int64_t documents);

// Nullopt when $ZEBEVI_BENCH_PG is not set; the reason is in `why`.
std::optional<ReferenceDatabase> PostgresReference(std::int64_t documents, std::string& why);

}  // namespace zebevi::bench

#endif  // ZEBEVI_BENCH_REFERENCE_DATABASES_H_
