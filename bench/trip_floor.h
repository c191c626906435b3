// The floor the trip summary is measured against: the same six queries a
// trip summary runs, in the same order and with the same arguments, straight
// through the engine's C library, each prepared once per connection, with
// every row and column read. What zebevi adds on top of it is its own cost.
#ifndef ZEBEVI_BENCH_TRIP_FLOOR_H_
#define ZEBEVI_BENCH_TRIP_FLOOR_H_

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace zebevi::bench {

// The six procedures, in the order the summary calls them.
enum class TripQuery { kExchange, kHeader, kInvoices, kTracking, kCycle, kRoute };
inline constexpr TripQuery kTripQueries[] = {TripQuery::kExchange, TripQuery::kHeader,
                                             TripQuery::kInvoices, TripQuery::kTracking,
                                             TripQuery::kCycle,    TripQuery::kRoute};
const char* ProcedureName(TripQuery query);

// One argument: an integer or a text, sent as zebevi sends them.
using Argument = std::variant<std::int64_t, std::string>;

class TripFloor {
 public:
  virtual ~TripFloor() = default;
  // Runs the summary's queries for `document`; returns a checksum of
  // everything read, so that nothing can be skipped.
  std::int64_t Summary(std::int64_t document);

  // The columns whose first-row values the summary carries on: the
  // exchange lookup's "retorno" and parent, the header's route.
  static std::vector<std::string> KeyColumns(TripQuery query);

 private:
  std::int64_t Queries(std::int64_t document);

 protected:
  // Runs `query` with `arguments`, adds everything it read to `checksum`,
  // and stores the first row's values of KeyColumns(query), as integers,
  // in `keys`. False when it gave no row.
  virtual bool Execute(TripQuery query, const std::vector<Argument>& arguments,
                       std::int64_t& checksum, std::vector<std::int64_t>& keys) = 0;
  // Around the queries of one summary; nothing by default.
  virtual void BeginSummary() {}
  virtual void EndSummary() {}
};

}  // namespace zebevi::bench

#endif  // ZEBEVI_BENCH_TRIP_FLOOR_H_
