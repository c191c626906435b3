// A field of a result set: one column, read at the cursor's current row.
#ifndef ZEBEVI_DB_FIELD_H_
#define ZEBEVI_DB_FIELD_H_

#include <cstddef>
#include <memory>
#include <string>

#include "db/cursor.h"
#include "zebevi/value.h"

namespace zebevi::db {

class Field final : public AutomationObject {
 public:
  // REQUIRES: `cursor` is open on `table`; `column` is one of its columns.
  // The field does not keep the cursor alive: the result set keeps its
  // fields for reuse, and a field that outlives it reports it closed.
  Field(std::weak_ptr<const Cursor> cursor, std::shared_ptr<const Table> table,
        std::size_t column);

  const std::string& name() const { return table_->columns[column_]; }

  // The value at the cursor's current row. Fails with kDbNoCurrentRecord at
  // the end, and with kDbObjectClosed once the result set has closed (or
  // opened another result).
  Value DefaultValue() const override;
  // The value in the result's table, which the field keeps alive.
  const Value* HeldValue() const override;

 private:
  std::weak_ptr<const Cursor> cursor_;
  std::shared_ptr<const Table> table_;
  std::size_t column_;
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_FIELD_H_
