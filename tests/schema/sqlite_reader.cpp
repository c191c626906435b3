#include "schema/sqlite_reader.h"

#include <sqlite3.h>
#include <strings.h>

#include <stdexcept>

#include "support/test_support.h"

namespace zebevi::schema::test {
namespace {

[[noreturn]] void Fail(sqlite3* db, std::string_view context) {
  throw std::runtime_error(std::string(context) + ": " + sqlite3_errmsg(db));
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

std::string ResultSet::text(std::size_t row, std::string_view name) const {
  return std::get<std::string>(at(row, name));
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

namespace {

struct Generated {
  zebevi::testing::TempDir dir;
  std::filesystem::path path = dir / "reference.db";
  GeneratorSummary summary = GenerateSqlite(path, Options(kReferenceDocuments));
  SqliteReader reader{path};
};

}  // namespace

const Reference& SharedReference() {
  static const Generated generated;
  static const Reference reference{generated.path, generated.summary, generated.reader};
  return reference;
}

}  // namespace zebevi::schema::test
