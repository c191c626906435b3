// Reads the current result of an ODBC statement into a Table, fetching
// every row, mapping each column by its SQL type: integer kinds to Int32
// (Double when out of its range); NUMERIC and DECIMAL, read as text, to
// Int32 when the value is a whole number within its range, else Double;
// REAL, FLOAT and DOUBLE to Double; BIT to Boolean; DATE and TIMESTAMP to
// Date (fractions of a second kept; a date outside the years 100 to 9999
// stays a String of its ISO form); binary kinds to a String of their bytes;
// character kinds and every other type to String, as the driver shows it in
// UTF-16 and turned into UTF-8; NULL to Null.
#ifndef ZEBEVI_DB_ODBC_ODBC_RESULT_H_
#define ZEBEVI_DB_ODBC_ODBC_RESULT_H_

#include "db/odbc/odbc_statement.h"
#include "db/session.h"

namespace zebevi::db {

Table ReadTable(const OdbcStatement& statement);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_ODBC_ODBC_RESULT_H_
