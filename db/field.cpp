#include "db/field.h"

#include <utility>

#include "zebevi/error.h"

namespace zebevi::db {

Field::Field(std::shared_ptr<const Cursor> cursor, std::shared_ptr<const Table> table,
             std::size_t column)
    : cursor_(std::move(cursor)), table_(std::move(table)), column_(column) {}

Value Field::DefaultValue() const {
  if (!cursor_->is_open() || cursor_->table() != table_) {
    throw Error::Database(kDbObjectClosed, "the result set of field " + name() + " is closed");
  }
  return cursor_->CurrentRow()[column_];
}

}  // namespace zebevi::db
