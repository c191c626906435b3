#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/ascii.h"
#include "db/command_trace.h"
#include "db/cursor.h"
#include "db/field.h"
#include "db/session.h"
#include "zebevi/db.h"

namespace zebevi {

// Field objects refer to this state without owning it, so they can outlive
// the result set object and still report that it has closed.
struct DbRecordset::State {
  CursorLocation location = CursorLocation::kServer;
  db::Cursor cursor;
  // Set while the result set was opened on a connection string.
  std::unique_ptr<DbConnection> private_connection;
  // The operations ask for the same fields by the same names, in the same
  // order, row after row. For the open table: the field objects handed
  // out, by column, made on first use; and each name asked, as written,
  // with its column, in the order first asked.
  struct Asked {
    std::string name;
    std::size_t column;
  };
  std::shared_ptr<const db::Table> fields_of;
  std::vector<std::shared_ptr<db::Field>> fields;
  std::vector<Asked> asked;
  std::size_t next_asked = 0;  // where the next ask most likely stands

  void ForgetFields() {
    fields_of.reset();
    fields.clear();
    asked.clear();
    next_asked = 0;
  }

  // The column that `name` finds in `table`: the first whose name matches
  // it in any ASCII letter case.
  std::optional<std::size_t> ColumnOf(const std::shared_ptr<const db::Table>& table,
                                      std::string_view name) {
    if (fields_of != table) {
      ForgetFields();
      fields_of = table;
      fields.assign(table->columns.size(), nullptr);
    }
    for (std::size_t k = 0; k < asked.size(); ++k) {
      const std::size_t at = (next_asked + k) % asked.size();
      if (asked[at].name == name) {
        next_asked = at + 1;
        return asked[at].column;
      }
    }
    for (std::size_t i = 0; i < table->columns.size(); ++i) {
      if (db::AsciiIEquals(table->columns[i], name)) {
        asked.push_back({std::string(name), i});
        next_asked = 0;
        return i;
      }
    }
    return std::nullopt;
  }
};

DbRecordset::DbRecordset() : state_(std::make_shared<State>()) {}

DbRecordset::~DbRecordset() {
  state_->cursor.Close();
  state_->private_connection.reset();
}

void DbRecordset::set_cursor_location(CursorLocation location) { state_->location = location; }

namespace {

void RequireClosed(const db::Cursor& cursor) {
  if (cursor.is_open()) {
    throw Error::Database(kDbCommandFailed, "the result set is already open");
  }
}

}  // namespace

void DbRecordset::Open(std::string_view command, const DbConnectionRef& connection) {
  RequireClosed(state_->cursor);
  if (!connection) {
    throw Error::Database(kDbConnectionFailed, "no connection was given for the command");
  }
  state_->cursor.Open(
      std::make_shared<const db::Table>(db::RunTraced(connection->session(), command)));
}

void DbRecordset::Open(std::string_view command, std::string_view connection_string) {
  RequireClosed(state_->cursor);
  auto connection = std::make_unique<DbConnection>();
  connection->Open(connection_string);
  state_->cursor.Open(
      std::make_shared<const db::Table>(db::RunTraced(connection->session(), command)));
  state_->private_connection = std::move(connection);
}

void DbRecordset::Close() {
  state_->cursor.table();  // Closing a closed result set is a failure.
  state_->cursor.Close();
  state_->ForgetFields();
  state_->private_connection.reset();
}

bool DbRecordset::is_open() const { return state_->cursor.is_open(); }

bool DbRecordset::eof() const { return state_->cursor.eof(); }

void DbRecordset::MoveFirst() { state_->cursor.MoveFirst(); }

void DbRecordset::MoveLast() { state_->cursor.MoveLast(); }

void DbRecordset::MoveNext() { state_->cursor.MoveNext(); }

std::int32_t DbRecordset::RecordCount() const {
  const std::size_t count = state_->cursor.table()->rows.size();
  if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw Error::Overflow();
  }
  return static_cast<std::int32_t>(count);
}

Value DbRecordset::Fields(std::string_view name) const {
  const std::shared_ptr<const db::Table>& table = state_->cursor.table();
  const std::optional<std::size_t> column = state_->ColumnOf(table, name);
  if (!column) {
    throw Error::Database(kDbItemNotFound, "the result has no field named " + std::string(name));
  }
  std::shared_ptr<db::Field>& field = state_->fields[*column];
  if (!field) {
    field = std::make_shared<db::Field>(std::shared_ptr<const db::Cursor>(state_, &state_->cursor),
                                        table, *column);
  }
  return Value::Object(field);
}

}  // namespace zebevi
