// What the ODBC driver keeps for us, without its headers: handles freed on
// destruction, and the kinds of column the result reader tells apart.
#ifndef ZEBEVI_DB_ODBC_ODBC_TYPES_H_
#define ZEBEVI_DB_ODBC_ODBC_TYPES_H_

namespace zebevi::db {

// One ODBC handle (environment, connection or statement), freed with
// SQLFreeHandle when destroyed.
class OdbcHandle {
 public:
  enum class Type { kEnvironment, kConnection, kStatement };

  // Allocates a handle of `type` under `parent` (none for an environment).
  // An environment speaks ODBC 3, with the driver manager's pooling off.
  // Failing to allocate is `failure_number`'s failure.
  OdbcHandle(Type type, const OdbcHandle* parent, int failure_number);
  ~OdbcHandle();
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;

  void* get() const { return handle_; }
  // SQL_HANDLE_ENV, SQL_HANDLE_DBC or SQL_HANDLE_STMT.
  short sql_type() const;

 private:
  Type type_;
  void* handle_ = nullptr;
};

// How a column's SQL type is read.
enum class OdbcColumnKind {
  kInteger,    // TINYINT to BIGINT: a whole number
  kDecimal,    // NUMERIC, DECIMAL: read as a double, whole ones as integers
  kFloat,      // REAL, FLOAT, DOUBLE
  kBit,        // BIT: a Boolean
  kDate,       // DATE
  kTimestamp,  // TIMESTAMP (DATETIME): a Date with its time
  kBinary,     // BINARY kinds: a String of the bytes
  kText,       // character kinds and anything else, as the driver shows it
};

OdbcColumnKind ColumnKindOf(short sql_type);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_ODBC_ODBC_TYPES_H_
