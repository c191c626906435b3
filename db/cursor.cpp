#include "db/cursor.h"

#include <utility>

#include "zebevi/error.h"

namespace zebevi::db {

void Cursor::Open(std::shared_ptr<const Table> table) {
  table_ = std::move(table);
  position_ = 0;
}

void Cursor::Close() {
  table_.reset();
  position_ = 0;
}

const std::shared_ptr<const Table>& Cursor::table() const {
  if (!table_) throw Error::Database(kDbObjectClosed, "the result set is closed");
  return table_;
}

bool Cursor::eof() const { return position_ >= table()->rows.size(); }

void Cursor::MoveFirst() {
  table();
  position_ = 0;
}

void Cursor::MoveLast() {
  const std::size_t count = table()->rows.size();
  position_ = count == 0 ? 0 : count - 1;
}

void Cursor::MoveNext() {
  CurrentRow();
  ++position_;
}

const std::vector<Value>& Cursor::CurrentRow() const {
  if (eof()) {
    throw Error::Database(kDbNoCurrentRecord, "there is no current row: the cursor is at the end");
  }
  return table_->rows[position_];
}

}  // namespace zebevi::db
