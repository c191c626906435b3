// The reference database's SQL for SQLite, compiled into the library from
// schema/sqlite/*.sql, for building databases with the real schema.
#ifndef ZEBEVI_SCHEMA_SQL_TEXT_H_
#define ZEBEVI_SCHEMA_SQL_TEXT_H_

#include <string_view>

namespace zebevi::schema {

// The whole schema: the procedure catalog, the tables, then their indexes.
std::string_view SqliteSchemaSql();
// The two halves of SqliteSchemaSql(): the tables, and the indexes that a
// bulk load creates once the rows are in.
std::string_view SqliteTablesSql();
std::string_view SqliteIndexesSql();
// INSERT statements that fill zeb_procedure with the procedure bodies.
std::string_view SqliteProceduresSql();

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_SQL_TEXT_H_
