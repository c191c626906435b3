// Reads a PostgreSQL result (text format) into a Table, mapping each column
// by its type: int2 and int4 to Int32; int8 and numeric to Int32 when the
// value is a whole number within its range, else Double; float4 and float8
// to Double; bool to Boolean; date, timestamp and timestamptz to Date (the
// time as the session shows it, fractions of a second kept, the zone
// dropped; a value outside the years 100 to 9999, or infinity, stays a
// String); text, varchar, char and every other type to String of their text
// form; NULL to Null.
#ifndef ZEBEVI_DB_POSTGRES_PG_RESULT_H_
#define ZEBEVI_DB_POSTGRES_PG_RESULT_H_

#include "db/session.h"

struct pg_result;

namespace zebevi::db {

Table ReadTable(const pg_result* result);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_POSTGRES_PG_RESULT_H_
