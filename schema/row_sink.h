// The seam between the data set and the engine that stores it. The data set
// (dataset.h) is produced row by row into a RowSink; each engine's loader is
// one RowSink, so every engine receives the same rows from the same seed.
#ifndef ZEBEVI_SCHEMA_ROW_SINK_H_
#define ZEBEVI_SCHEMA_ROW_SINK_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

namespace zebevi::schema {

// One field of a row: SQL NULL, an integer, a real or a text. Dates and
// moments are ISO texts ("YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS") that go into
// DATE and DATETIME/TIMESTAMP columns. A text is only valid during the call
// that receives it.
using SqlValue = std::variant<std::nullptr_t, std::int64_t, double, std::string_view>;

// A table of the data set and the columns its rows fill, in row order.
// Layouts are constants with static storage, so a sink may key its prepared
// statements by address.
struct TableLayout {
  std::string_view name;
  std::span<const std::string_view> columns;
};

class RowSink {
 public:
  virtual ~RowSink() = default;

  // Stores one row. Rows arrive so that every row a foreign key points to
  // has arrived before it. REQUIRES: row.size() == table.columns.size().
  virtual void Write(const TableLayout& table, std::span<const SqlValue> row) = 0;
};

// Writes one row from its fields: integers, reals, texts (anything a
// string_view can view, kept alive until the call returns) or nullptr.
template <typename... Fields>
void WriteRow(RowSink& sink, const TableLayout& table, const Fields&... fields) {
  const SqlValue row[] = {SqlValue(fields)...};
  sink.Write(table, row);
}

// An optional reference: 0 stands for none.
inline SqlValue IdOrNull(std::int64_t id) { return id == 0 ? SqlValue(nullptr) : SqlValue(id); }

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_ROW_SINK_H_
