#include "schema/sql_text.h"

namespace zebevi::schema {
namespace {

// The line of schema.sql that separates the tables from the indexes.
constexpr std::string_view kIndexesMarker = "-- @@indexes";

std::size_t IndexesStart() {
  const std::size_t at = SqliteSchemaSql().find(kIndexesMarker);
  return at == std::string_view::npos ? SqliteSchemaSql().size() : at;
}

}  // namespace

std::string_view SqliteTablesSql() { return SqliteSchemaSql().substr(0, IndexesStart()); }

std::string_view SqliteIndexesSql() { return SqliteSchemaSql().substr(IndexesStart()); }

}  // namespace zebevi::schema
