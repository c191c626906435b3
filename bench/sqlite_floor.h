// The trip summary's floor on SQLite: the six procedure bodies, read from
// the catalog once, prepared once, then bound, stepped and reset.
#ifndef ZEBEVI_BENCH_SQLITE_FLOOR_H_
#define ZEBEVI_BENCH_SQLITE_FLOOR_H_

#include <map>
#include <string>
#include <vector>

#include "bench/trip_floor.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zebevi::bench {

// The map the mapped reference databases and their floor read through:
// the most "Memory Map MB" maps.
inline constexpr long kMappedMegabytes = 2047;

struct SqliteFloorReading {
  // Each summary's queries in one read transaction, as zebevi's summary
  // reads them, instead of one each.
  bool one_read = false;
  // The file read through a memory map, warmed before the first summary,
  // as zebevi reads it with "Memory Map MB".
  bool mapped = false;
};

class SqliteFloor final : public TripFloor {
 public:
  // Opens the reference database file `path` read-only. Throws
  // std::runtime_error on any failure.
  explicit SqliteFloor(const std::string& path, SqliteFloorReading reading = {});
  ~SqliteFloor() override;
  SqliteFloor(const SqliteFloor&) = delete;
  SqliteFloor& operator=(const SqliteFloor&) = delete;

 private:
  struct Prepared {
    sqlite3_stmt* statement = nullptr;
    std::vector<int> key_columns;
  };
  bool Execute(TripQuery query, const std::vector<Argument>& arguments, std::int64_t& checksum,
               std::vector<std::int64_t>& keys) override;
  void BeginSummary() override;
  void EndSummary() override;

  sqlite3* db_ = nullptr;
  bool one_read_;
  std::map<TripQuery, Prepared> prepared_;
};

}  // namespace zebevi::bench

#endif  // ZEBEVI_BENCH_SQLITE_FLOOR_H_
