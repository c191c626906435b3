#include "bench/sqlite_floor.h"

#include <sqlite3.h>
#include <strings.h>

#include <stdexcept>
#include <string>

namespace zebevi::bench {
namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& context) {
  throw std::runtime_error(context + ": " + sqlite3_errmsg(db));
}

}  // namespace

SqliteFloor::SqliteFloor(const std::string& path, SqliteFloorReading reading)
    : one_read_(reading.one_read) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    Fail(db_, path);
  }
  if (reading.mapped) {
    // The check reads every page through the map.
    const std::string warm =
        "PRAGMA mmap_size = " + std::to_string(kMappedMegabytes << 20) + "; PRAGMA quick_check";
    if (sqlite3_exec(db_, warm.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
      Fail(db_, "the memory map");
    }
  }
  sqlite3_stmt* lookup = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT body FROM zeb_procedure WHERE name = ?1", -1, &lookup,
                         nullptr) != SQLITE_OK) {
    Fail(db_, "the catalog");
  }
  for (TripQuery query : kTripQueries) {
    sqlite3_bind_text(lookup, 1, ProcedureName(query), -1, SQLITE_STATIC);
    if (sqlite3_step(lookup) != SQLITE_ROW) Fail(db_, ProcedureName(query));
    Prepared& prepared = prepared_[query];
    const char* body = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 0));
    if (sqlite3_prepare_v3(db_, body, -1, SQLITE_PREPARE_PERSISTENT, &prepared.statement,
                           nullptr) != SQLITE_OK) {
      Fail(db_, ProcedureName(query));
    }
    sqlite3_reset(lookup);
    for (const std::string& name : KeyColumns(query)) {
      for (int i = 0; i < sqlite3_column_count(prepared.statement); ++i) {
        if (strcasecmp(sqlite3_column_name(prepared.statement, i), name.c_str()) == 0) {
          prepared.key_columns.push_back(i);
        }
      }
    }
  }
  sqlite3_finalize(lookup);
}

SqliteFloor::~SqliteFloor() {
  for (auto& [query, prepared] : prepared_) sqlite3_finalize(prepared.statement);
  sqlite3_close(db_);
}

void SqliteFloor::BeginSummary() {
  if (one_read_ && sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
    Fail(db_, "BEGIN");
  }
}

void SqliteFloor::EndSummary() {
  if (one_read_ && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
    Fail(db_, "COMMIT");
  }
}

bool SqliteFloor::Execute(TripQuery query, const std::vector<Argument>& arguments,
                          std::int64_t& checksum, std::vector<std::int64_t>& keys) {
  const Prepared& prepared = prepared_.at(query);
  sqlite3_stmt* statement = prepared.statement;
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    const int index = static_cast<int>(k + 1);
    if (const auto* n = std::get_if<std::int64_t>(&arguments[k])) {
      sqlite3_bind_int64(statement, index, *n);
    } else {
      const std::string& text = std::get<std::string>(arguments[k]);
      sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                        SQLITE_STATIC);
    }
  }
  bool any = false;
  const int columns = sqlite3_column_count(statement);
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    if (!any) {
      keys.clear();
      for (int column : prepared.key_columns)
        keys.push_back(sqlite3_column_int64(statement, column));
    }
    any = true;
    for (int i = 0; i < columns; ++i) {
      switch (sqlite3_column_type(statement, i)) {
        case SQLITE_INTEGER:
          checksum += sqlite3_column_int64(statement, i);
          break;
        case SQLITE_FLOAT:
          checksum += static_cast<std::int64_t>(sqlite3_column_double(statement, i));
          break;
        case SQLITE_NULL:
          ++checksum;
          break;
        default: {
          const unsigned char* text = sqlite3_column_text(statement, i);
          const int size = sqlite3_column_bytes(statement, i);
          checksum += size + (size > 0 ? text[0] : 0);
        }
      }
    }
  }
  if (rc != SQLITE_DONE) Fail(db_, ProcedureName(query));
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  return any;
}

}  // namespace zebevi::bench
