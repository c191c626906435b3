#include "schema/shard_placement.h"

#include "schema/tables.h"

namespace zebevi::schema {
namespace {

std::int64_t IdAt(std::span<const SqlValue> row, std::size_t column) {
  return std::get<std::int64_t>(row[column]);
}

// The column that names the document a row belongs to, or -1 for a table
// whose rows belong to no single document.
int DocumentColumn(const TableLayout& table) {
  if (&table == &tables::kDoctoTransporte || &table == &tables::kTrocaDoctoTransp ||
      &table == &tables::kResumoCiclo) {
    return 0;
  }
  if (&table == &tables::kNotaFiscal || &table == &tables::kTrackingMensagem) return 1;
  return -1;
}

// docto_transporte's pedido_id.
constexpr std::size_t kOrderColumn = 5;

}  // namespace

bool ValidShardCount(int shards) {
  return shards >= 1 && shards <= kMaxShards && (shards & (shards - 1)) == 0;
}

int ShardOf(std::int64_t key, int shards) {
  // Knuth's multiplicative hash on the low 32 bits, as zeb_shard computes
  // it in bigint arithmetic.
  const std::uint64_t hash = (static_cast<std::uint64_t>(key) * 2654435761u) & 0xffffffffu;
  return static_cast<int>((hash >> 16) & static_cast<std::uint64_t>(shards - 1));
}

void TripKeys::Write(const TableLayout& table, std::span<const SqlValue> row) {
  if (&table == &tables::kTrocaDoctoTransp) {
    parents_[IdAt(row, 0)] = IdAt(row, 1);
  } else if (&table == &tables::kDoctoTransporte) {
    order_documents_[IdAt(row, kOrderColumn)].push_back(IdAt(row, 0));
  }
}

std::int64_t TripKeys::KeyOf(std::int64_t document) const {
  const auto parent = parents_.find(document);
  return parent == parents_.end() ? document : parent->second;
}

std::uint64_t TripKeys::OrderShards(std::int64_t order, int shards) const {
  std::uint64_t mask = 0;
  const auto documents = order_documents_.find(order);
  if (documents == order_documents_.end()) return mask;
  for (std::int64_t document : documents->second) {
    mask |= std::uint64_t{1} << ShardOf(KeyOf(document), shards);
  }
  return mask;
}

void ShardingSink::Write(const TableLayout& table, std::span<const SqlValue> row) {
  const int shards = static_cast<int>(shards_.size());
  if (const int column = DocumentColumn(table); column >= 0) {
    shards_[ShardOf(keys_.KeyOf(IdAt(row, column)), shards)]->Write(table, row);
  } else if (&table == &tables::kPedido) {
    const std::uint64_t mask = keys_.OrderShards(IdAt(row, 0), shards);
    for (int shard = 0; shard < shards; ++shard) {
      if (mask & (std::uint64_t{1} << shard)) shards_[shard]->Write(table, row);
    }
  } else {
    for (RowSink* shard : shards_) shard->Write(table, row);
    everywhere_.Write(table, row);
  }
}

}  // namespace zebevi::schema
