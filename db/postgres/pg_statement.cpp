#include "db/postgres/pg_statement.h"

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <type_traits>
#include <variant>

#include "db/ascii.h"
#include "db/postgres/pg_types.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

template <typename Number>
std::string NumberText(Number n) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, n);
  return std::string(buffer, end);
}

// A state whose class is 08 (connection exception), or one of the states
// with which the server ends a session: terminated by an administrator
// (57P01), crash (57P02), cannot connect now (57P03).
bool IsConnectionState(std::string_view state) {
  return state.starts_with("08") || state == "57P01" || state == "57P02" || state == "57P03";
}

// The server's own words in libpq's message for a lost connection: after a
// session ends, libpq keeps the server's "FATAL:  reason" line before its
// own "server closed the connection unexpectedly".
std::string ServerReason(std::string_view message) {
  constexpr std::string_view kFatal = "FATAL:  ";
  while (!message.empty()) {
    const std::size_t end = std::min(message.find('\n'), message.size());
    const std::string_view line = message.substr(0, end);
    if (line.starts_with(kFatal)) return CollapsedBlanks(line.substr(kFatal.size()));
    message.remove_prefix(std::min(end + 1, message.size()));
  }
  return {};
}

}  // namespace

void PgResultClear::operator()(pg_result* result) const { PQclear(result); }

std::string PgConnectionMessage(const pg_conn* connection) {
  return CollapsedBlanks(connection ? PQerrorMessage(connection) : "out of memory");
}

void ThrowPgError(pg_conn* connection, const pg_result* result, std::string_view context) {
  const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  const bool lost = PQstatus(connection) != CONNECTION_OK || (state && IsConnectionState(state));
  std::string text = primary ? CollapsedBlanks(primary) : std::string();
  if (text.empty() && lost) text = ServerReason(PQerrorMessage(connection));
  if (text.empty() && result) text = CollapsedBlanks(PQresultErrorMessage(result));
  if (text.empty()) text = PgConnectionMessage(connection);
  throw Error::Database(lost ? kDbConnectionFailed : kDbCommandFailed, std::string(context) + text);
}

PgStatement::PgStatement(std::string_view sql) : sql_(sql) {}

PgStatement::PgStatement(const ProcedureCall& call) : context_("procedure " + call.name + ": ") {
  sql_ = "SELECT * FROM \"" + AsciiLower(call.name) + "\"(";
  for (std::size_t k = 0; k < call.args.size(); ++k) {
    sql_ += (k == 0 ? "$" : ", $") + std::to_string(k + 1);
    std::visit(
        [&](const auto& v) {
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, NullLiteral>) {
            types_.push_back(pg_type::kUnknown);
            values_.emplace_back();
          } else if constexpr (std::is_same_v<T, std::int64_t>) {
            types_.push_back(pg_type::kInt8);
            values_.push_back(NumberText(v));
          } else if constexpr (std::is_same_v<T, double>) {
            types_.push_back(pg_type::kNumeric);
            values_.push_back(NumberText(v));
          } else {
            if (v.find('\0') != std::string::npos) {
              throw Error::Database(
                  kDbCommandFailed,
                  context_ + "argument " + std::to_string(k + 1) + " holds a NUL character");
            }
            types_.push_back(pg_type::kText);
            values_.push_back(v);
          }
        },
        call.args[k]);
  }
  sql_ += ")";
}

std::string PgStatement::Key() const {
  std::string key = sql_;
  for (unsigned type : types_) key += ' ' + NumberText(type);
  return key;
}

std::vector<const char*> PgStatement::Values() const {
  std::vector<const char*> values;
  values.reserve(values_.size());
  for (const std::optional<std::string>& value : values_) {
    values.push_back(value ? value->c_str() : nullptr);
  }
  return values;
}

PgResult PgStatement::Run(pg_conn* connection) const {
  const std::vector<const char*> values = Values();
  std::vector<Oid> types(types_.begin(), types_.end());
  return Checked(connection,
                 PgResult(PQexecParams(connection, sql_.c_str(), static_cast<int>(values.size()),
                                       types.data(), values.data(), nullptr, nullptr, 0)));
}

void PgStatement::Prepare(pg_conn* connection, const std::string& name) const {
  std::vector<Oid> types(types_.begin(), types_.end());
  Checked(connection, PgResult(PQprepare(connection, name.c_str(), sql_.c_str(),
                                         static_cast<int>(types.size()), types.data())));
}

PgResult PgStatement::RunPrepared(pg_conn* connection, const std::string& name) const {
  const std::vector<const char*> values = Values();
  return PgResult(PQexecPrepared(connection, name.c_str(), static_cast<int>(values.size()),
                                 values.data(), nullptr, nullptr, 0));
}

PgResult PgStatement::Checked(pg_conn* connection, PgResult result) const {
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) return result;
  if (status == PGRES_EMPTY_QUERY) {
    throw Error::Database(kDbCommandFailed, context_ + "the command holds no statement");
  }
  if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT || status == PGRES_COPY_BOTH) {
    // The session is left inside the copy, so it is never reused.
    throw Error::Database(kDbCommandFailed, context_ + "COPY is not supported");
  }
  ThrowPgError(connection, result.get(), context_);
}

}  // namespace zebevi::db
