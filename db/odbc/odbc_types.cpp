#include "db/odbc/odbc_types.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <mutex>

#include "zebevi/error.h"

namespace zebevi::db {

short OdbcHandle::sql_type() const {
  switch (type_) {
    case Type::kEnvironment:
      return SQL_HANDLE_ENV;
    case Type::kConnection:
      return SQL_HANDLE_DBC;
    case Type::kStatement:
      break;
  }
  return SQL_HANDLE_STMT;
}

OdbcHandle::OdbcHandle(Type type, const OdbcHandle* parent, int failure_number) : type_(type) {
  auto fail = [&] {
    throw Error::Database(failure_number, "the ODBC driver manager cannot allocate a handle");
  };
  if (type == Type::kEnvironment) {
    // Our pool keeps the sessions; the driver manager's would keep a second,
    // hidden set whose connections outlive those our pool dropped. The
    // setting is the process's, made once.
    static std::once_flag pooling_off;
    std::call_once(pooling_off, [] {
      SQLSetEnvAttr(SQL_NULL_HENV, SQL_ATTR_CONNECTION_POOLING,
                    reinterpret_cast<SQLPOINTER>(SQLULEN{SQL_CP_OFF}), 0);
    });
  }
  SQLHANDLE handle = SQL_NULL_HANDLE;
  if (!SQL_SUCCEEDED(
          SQLAllocHandle(sql_type(), parent ? parent->get() : SQL_NULL_HANDLE, &handle))) {
    fail();
  }
  handle_ = handle;
  if (type == Type::kEnvironment &&
      !SQL_SUCCEEDED(SQLSetEnvAttr(handle_, SQL_ATTR_ODBC_VERSION,
                                   reinterpret_cast<SQLPOINTER>(SQLULEN{SQL_OV_ODBC3}), 0))) {
    SQLFreeHandle(SQL_HANDLE_ENV, handle_);
    fail();
  }
}

OdbcHandle::~OdbcHandle() {
  if (handle_ != nullptr) SQLFreeHandle(sql_type(), handle_);
}

OdbcColumnKind ColumnKindOf(short sql_type) {
  switch (sql_type) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
      return OdbcColumnKind::kInteger;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
      return OdbcColumnKind::kDecimal;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return OdbcColumnKind::kFloat;
    case SQL_BIT:
      return OdbcColumnKind::kBit;
    case SQL_TYPE_DATE:
    case SQL_DATE:
      return OdbcColumnKind::kDate;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
      return OdbcColumnKind::kTimestamp;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
      return OdbcColumnKind::kBinary;
    default:
      return OdbcColumnKind::kText;
  }
}

}  // namespace zebevi::db
