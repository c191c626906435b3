#include "schema/sqlite_reader.h"

#include <sqlite3.h>
#include <strings.h>

#include <cstdio>
#include <stdexcept>
#include <type_traits>

namespace zebevi::schema::test {
namespace {

[[noreturn]] void Fail(sqlite3* db, std::string_view context) {
  throw std::runtime_error(std::string(context) + ": " + sqlite3_errmsg(db));
}

// FNV-1a over the bytes of a value and a separator.
void Mix(std::uint64_t& hash, std::string_view bytes) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3ULL;
  }
  hash ^= 0xFF;
  hash *= 0x100000001B3ULL;
}

}  // namespace

std::size_t ResultSet::column(std::string_view name) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].size() == name.size() &&
        strncasecmp(columns[i].c_str(), name.data(), name.size()) == 0) {
      return i;
    }
  }
  throw std::out_of_range("no column " + std::string(name));
}

const Cell& ResultSet::at(std::size_t row, std::string_view name) const {
  return rows.at(row).at(column(name));
}

std::int64_t ResultSet::integer(std::size_t row, std::string_view name) const {
  return std::get<std::int64_t>(at(row, name));
}

double ResultSet::real(std::size_t row, std::string_view name) const {
  const Cell& cell = at(row, name);
  if (const auto* value = std::get_if<std::int64_t>(&cell)) return static_cast<double>(*value);
  return std::get<double>(cell);
}

std::string ResultSet::text(std::size_t row, std::string_view name) const {
  return std::get<std::string>(at(row, name));
}

bool ResultSet::is_null(std::size_t row, std::string_view name) const {
  return std::holds_alternative<std::nullptr_t>(at(row, name));
}

std::string ResultSet::decltype_of(std::string_view name) const {
  return decltypes.at(column(name));
}

void SqliteReader::Closer::operator()(sqlite3* db) const { sqlite3_close(db); }

SqliteReader::SqliteReader(const std::filesystem::path& path) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  db_.reset(db);
  if (rc != SQLITE_OK) Fail(db, "cannot open " + path.string());
}

ResultSet SqliteReader::Query(std::string_view sql, const std::vector<Cell>& args) const {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_.get(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
      SQLITE_OK) {
    Fail(db_.get(), "cannot prepare " + std::string(sql));
  }
  const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const int at = static_cast<int>(i + 1);
    const Cell& arg = args[i];
    if (const auto* integer = std::get_if<std::int64_t>(&arg)) {
      sqlite3_bind_int64(raw, at, *integer);
    } else if (const auto* real = std::get_if<double>(&arg)) {
      sqlite3_bind_double(raw, at, *real);
    } else if (const auto* text = std::get_if<std::string>(&arg)) {
      sqlite3_bind_text(raw, at, text->c_str(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_null(raw, at);
    }
  }
  ResultSet result;
  const int columns = sqlite3_column_count(raw);
  for (int c = 0; c < columns; ++c) {
    result.columns.emplace_back(sqlite3_column_name(raw, c));
    const char* declared = sqlite3_column_decltype(raw, c);
    result.decltypes.emplace_back(declared ? declared : "");
  }
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    std::vector<Cell>& row = result.rows.emplace_back();
    for (int c = 0; c < columns; ++c) {
      switch (sqlite3_column_type(raw, c)) {
        case SQLITE_INTEGER:
          row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(raw, c)));
          break;
        case SQLITE_FLOAT:
          row.emplace_back(sqlite3_column_double(raw, c));
          break;
        case SQLITE_NULL:
          row.emplace_back(nullptr);
          break;
        default:
          row.emplace_back(std::string(reinterpret_cast<const char*>(sqlite3_column_text(raw, c)),
                                       static_cast<std::size_t>(sqlite3_column_bytes(raw, c))));
      }
    }
  }
  if (rc != SQLITE_DONE) Fail(db_.get(), "cannot run " + std::string(sql));
  return result;
}

ResultSet SqliteReader::Call(std::string_view procedure, const std::vector<Cell>& args) const {
  const ResultSet body =
      Query("SELECT body FROM zeb_procedure WHERE name = ?1", {std::string(procedure)});
  if (body.rows.empty()) throw std::runtime_error("no procedure " + std::string(procedure));
  return Query(std::get<std::string>(body.rows[0][0]), args);
}

std::int64_t SqliteReader::Count(std::string_view sql, const std::vector<Cell>& args) const {
  return std::get<std::int64_t>(Query(sql, args).rows.at(0).at(0));
}

std::uint64_t SqliteReader::ContentHash() const {
  std::uint64_t hash = 0xCBF29CE484222325ULL;
  const ResultSet tables = Query(
      "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
      "ORDER BY name");
  for (const auto& table : tables.rows) {
    const std::string& name = std::get<std::string>(table[0]);
    Mix(hash, name);
    for (const auto& row : Query("SELECT * FROM \"" + name + "\" ORDER BY 1").rows) {
      for (const Cell& cell : row) {
        std::visit(
            [&hash](const auto& value) {
              using T = std::decay_t<decltype(value)>;
              if constexpr (std::is_same_v<T, std::nullptr_t>) {
                Mix(hash, "NULL");
              } else if constexpr (std::is_same_v<T, std::string>) {
                Mix(hash, value);
              } else if constexpr (std::is_same_v<T, double>) {
                char digits[32];
                std::snprintf(digits, sizeof digits, "%.17g", value);
                Mix(hash, digits);
              } else {
                Mix(hash, std::to_string(value));
              }
            },
            cell);
      }
    }
  }
  return hash;
}

}  // namespace zebevi::schema::test
