// A result set's position over its table. Result sets move it; field
// objects read the current row through it, so a field follows the cursor.
#ifndef ZEBEVI_DB_CURSOR_H_
#define ZEBEVI_DB_CURSOR_H_

#include <cstddef>
#include <memory>
#include <vector>

#include "db/session.h"
#include "zebevi/value.h"

namespace zebevi::db {

class Cursor {
 public:
  // Starts on the first row of `table` (at the end when it has none).
  void Open(std::shared_ptr<const Table> table);
  void Close();
  bool is_open() const { return table_ != nullptr; }

  // Each of these fails with kDbObjectClosed while closed.
  const std::shared_ptr<const Table>& table() const;
  bool eof() const;
  void MoveFirst();
  void MoveLast();
  void MoveNext();  // At the end: a failure (kDbNoCurrentRecord).
  // At the end: a failure (kDbNoCurrentRecord).
  const std::vector<Value>& CurrentRow() const;

 private:
  std::shared_ptr<const Table> table_;
  std::size_t position_ = 0;
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_CURSOR_H_
