// Where each row of the data set goes in a sharded layout: the documents
// and everything that hangs on them on the shard of their trip key (the
// exchange parent's id for an exchanged child, the document's own id
// otherwise), an order on every shard that holds one of its documents, the
// reference tables on every shard. The proxy's functions route calls with
// the same formula (schema/postgres/sharded/proxy.sql).
#ifndef ZEBEVI_SCHEMA_SHARD_PLACEMENT_H_
#define ZEBEVI_SCHEMA_SHARD_PLACEMENT_H_

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "schema/row_sink.h"

namespace zebevi::schema {

// The most shards a layout may have; shard counts are powers of two, as
// PL/Proxy keeps the low bits of the routing hash.
inline constexpr int kMaxShards = 64;

// True for 1, 2, 4 ... kMaxShards.
bool ValidShardCount(int shards);

// The shard of trip key `key`. REQUIRES: ValidShardCount(shards).
int ShardOf(std::int64_t key, int shards);

// The trip keys of a data set, read from a first pass over its rows (the
// data set writes an exchange's children before the parent that names
// them, so a single pass could not place them).
class TripKeys final : public RowSink {
 public:
  void Write(const TableLayout& table, std::span<const SqlValue> row) override;

  std::int64_t KeyOf(std::int64_t document) const;
  // The shards (bit i for shard i) that hold a document of `order`.
  std::uint64_t OrderShards(std::int64_t order, int shards) const;
  // Exchanged child documents and their parents.
  const std::unordered_map<std::int64_t, std::int64_t>& parents() const { return parents_; }

 private:
  std::unordered_map<std::int64_t, std::int64_t> parents_;
  std::unordered_map<std::int64_t, std::vector<std::int64_t>> order_documents_;
};

// Routes the rows of a second pass over the same data set to the shards'
// sinks, and the reference tables' rows to `everywhere` as well (the proxy).
class ShardingSink final : public RowSink {
 public:
  // REQUIRES: ValidShardCount(shards.size()); every sink outlives this one.
  ShardingSink(const TripKeys& keys, std::span<RowSink* const> shards, RowSink& everywhere)
      : keys_(keys), shards_(shards), everywhere_(everywhere) {}

  void Write(const TableLayout& table, std::span<const SqlValue> row) override;

 private:
  const TripKeys& keys_;
  std::span<RowSink* const> shards_;
  RowSink& everywhere_;
};

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_SHARD_PLACEMENT_H_
