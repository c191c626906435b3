// Reads an SQLite statement's result into a Table, mapping each column to a
// Value: INTEGER to Int32 (Double when out of its range), REAL to Double,
// TEXT to String, BLOB to a String of its bytes, NULL to Null. In a column
// declared DATE, DATETIME or TIMESTAMP, ISO text "YYYY-MM-DD[ HH:MM:SS]"
// (or with 'T') becomes a Date; other text there stays a String.
#ifndef ZEBEVI_DB_SQLITE_SQLITE_RESULT_H_
#define ZEBEVI_DB_SQLITE_SQLITE_RESULT_H_

#include "db/session.h"
#include "db/sqlite/sqlite_statement.h"

namespace zebevi::db {

// Steps `statement` to its end.
Table ReadTable(SqliteStatement& statement);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_SQLITE_SQLITE_RESULT_H_
