#include "schema/postgres_sink.h"

#include <libpq-fe.h>

#include <charconv>
#include <stdexcept>
#include <type_traits>
#include <variant>

#include "schema/tables.h"

namespace zebevi::schema {
namespace {

// Copies are sent once this much has gathered.
constexpr std::size_t kFlushBytes = 8 << 20;

std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : text) line += (c == '\n' || c == '\t') ? ' ' : c;
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

[[noreturn]] void Fail(pg_conn* connection, std::string_view context) {
  throw std::runtime_error(std::string(context) + ": " + OneLine(PQerrorMessage(connection)));
}

template <typename Number>
void AppendNumber(std::string& out, Number n) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, n);
  out.append(buffer, end);
}

// COPY's text format: backslash, tab, newline and carriage return escaped.
void AppendText(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
}

}  // namespace

void PostgresDatabase::Finisher::operator()(pg_conn* connection) const { PQfinish(connection); }

PostgresDatabase::PostgresDatabase(const std::string& conninfo)
    : connection_(PQconnectdb(conninfo.c_str())) {
  if (PQstatus(connection_.get()) != CONNECTION_OK) {
    Fail(connection_.get(), "cannot connect to PostgreSQL");
  }
  Exec(
      "SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, YMD'; SET client_min_messages = "
      "warning");
}

void PostgresDatabase::Exec(std::string_view sql) {
  const std::string text(sql);
  std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(connection_.get(), text.c_str()),
                                                       PQclear);
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    Fail(connection_.get(), "the database refused a statement");
  }
}

void PostgresDatabase::Copy(const TableLayout& table, std::string_view data) {
  std::string sql = "COPY " + std::string(table.name) + " (";
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    sql += (i == 0 ? "" : ", ") + std::string(table.columns[i]);
  }
  sql += ") FROM STDIN";
  const std::string context = "cannot copy the rows of " + std::string(table.name);
  pg_conn* connection = connection_.get();
  std::unique_ptr<PGresult, decltype(&PQclear)> start(PQexec(connection, sql.c_str()), PQclear);
  if (!start || PQresultStatus(start.get()) != PGRES_COPY_IN) Fail(connection, context);
  if (PQputCopyData(connection, data.data(), static_cast<int>(data.size())) != 1 ||
      PQputCopyEnd(connection, nullptr) != 1) {
    Fail(connection, context);
  }
  bool failed = false;
  while (PGresult* result = PQgetResult(connection)) {
    failed = failed || PQresultStatus(result) != PGRES_COMMAND_OK;
    PQclear(result);
  }
  if (failed) Fail(connection, context);
}

void PostgresSink::Write(const TableLayout& table, std::span<const SqlValue> row) {
  std::string& out = pending_[&table];
  const std::size_t before = out.size();
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i > 0) out += '\t';
    std::visit(
        [&out](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::nullptr_t>) {
            out += "\\N";
          } else if constexpr (std::is_same_v<T, std::string_view>) {
            AppendText(out, value);
          } else {
            AppendNumber(out, value);
          }
        },
        row[i]);
  }
  out += '\n';
  pending_bytes_ += out.size() - before;
  if (pending_bytes_ >= kFlushBytes) Flush();
}

void PostgresSink::Flush() {
  for (const TableLayout* table : tables::All()) {
    auto it = pending_.find(table);
    if (it == pending_.end() || it->second.empty()) continue;
    database_.Copy(*table, it->second);
    it->second.clear();
  }
  for (const auto& [table, rows] : pending_) {
    if (!rows.empty()) {
      throw std::runtime_error("no copy order for the rows of " + std::string(table->name));
    }
  }
  pending_bytes_ = 0;
}

}  // namespace zebevi::schema
