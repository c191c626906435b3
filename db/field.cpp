#include "db/field.h"

#include <utility>

#include "zebevi/error.h"

namespace zebevi::db {

Field::Field(std::weak_ptr<const Cursor> cursor, std::shared_ptr<const Table> table,
             std::size_t column)
    : cursor_(std::move(cursor)), table_(std::move(table)), column_(column) {}

Value Field::DefaultValue() const { return *HeldValue(); }

const Value* Field::HeldValue() const {
  const std::shared_ptr<const Cursor> cursor = cursor_.lock();
  if (!cursor || !cursor->is_open() || cursor->table() != table_) {
    throw Error::Database(kDbObjectClosed, "the result set of field " + name() + " is closed");
  }
  return &cursor->CurrentRow()[column_];
}

}  // namespace zebevi::db
