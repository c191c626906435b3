// The trip summary's floor on PostgreSQL: one libpq connection that
// prepares each of the six functions once (integers as bigint, texts as
// text, as zebevi sends them) and then runs them with PQexecPrepared,
// reading every value of every row.
#ifndef ZEBEVI_BENCH_PG_FLOOR_H_
#define ZEBEVI_BENCH_PG_FLOOR_H_

#include <map>
#include <string>
#include <vector>

#include "bench/trip_floor.h"

struct pg_conn;

namespace zebevi::bench {

class PostgresFloor final : public TripFloor {
 public:
  // Connects with libpq's `conninfo`. Throws std::runtime_error on any
  // failure.
  explicit PostgresFloor(const std::string& conninfo);
  ~PostgresFloor() override;
  PostgresFloor(const PostgresFloor&) = delete;
  PostgresFloor& operator=(const PostgresFloor&) = delete;

 private:
  bool Execute(TripQuery query, const std::vector<Argument>& arguments, std::int64_t& checksum,
               std::vector<std::int64_t>& keys) override;

  pg_conn* connection_ = nullptr;
  // The statement names already prepared.
  std::map<TripQuery, std::string> prepared_;
};

}  // namespace zebevi::bench

#endif  // ZEBEVI_BENCH_PG_FLOOR_H_
