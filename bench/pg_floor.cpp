#include "bench/pg_floor.h"

#include <libpq-fe.h>
#include <strings.h>

#include <cstdlib>
#include <stdexcept>

namespace zebevi::bench {
namespace {

constexpr Oid kInt8 = 20;
constexpr Oid kText = 25;

}  // namespace

PostgresFloor::PostgresFloor(const std::string& conninfo)
    : connection_(PQconnectdb(conninfo.c_str())) {
  if (PQstatus(connection_) != CONNECTION_OK) {
    const std::string message = PQerrorMessage(connection_);
    PQfinish(connection_);
    throw std::runtime_error(message);
  }
}

PostgresFloor::~PostgresFloor() { PQfinish(connection_); }

bool PostgresFloor::Execute(TripQuery query, const std::vector<Argument>& arguments,
                            std::int64_t& checksum, std::vector<std::int64_t>& keys) {
  std::vector<std::string> texts;
  std::vector<const char*> values;
  std::vector<Oid> types;
  for (const Argument& argument : arguments) {
    if (const auto* n = std::get_if<std::int64_t>(&argument)) {
      texts.push_back(std::to_string(*n));
      types.push_back(kInt8);
    } else {
      texts.push_back(std::get<std::string>(argument));
      types.push_back(kText);
    }
  }
  for (const std::string& text : texts) values.push_back(text.c_str());
  auto [at, fresh] = prepared_.try_emplace(query, ProcedureName(query));
  if (fresh) {
    std::string sql = "SELECT * FROM " + at->second + "(";
    for (std::size_t k = 0; k < arguments.size(); ++k) {
      sql += (k == 0 ? "$" : ", $") + std::to_string(k + 1);
    }
    sql += ")";
    PGresult* prepared = PQprepare(connection_, at->second.c_str(), sql.c_str(),
                                   static_cast<int>(types.size()), types.data());
    const bool ok = PQresultStatus(prepared) == PGRES_COMMAND_OK;
    PQclear(prepared);
    if (!ok) throw std::runtime_error(PQerrorMessage(connection_));
  }
  PGresult* result =
      PQexecPrepared(connection_, at->second.c_str(), static_cast<int>(values.size()),
                     values.data(), nullptr, nullptr, 0);
  if (PQresultStatus(result) != PGRES_TUPLES_OK) {
    const std::string message = PQerrorMessage(connection_);
    PQclear(result);
    throw std::runtime_error(message);
  }
  const int rows = PQntuples(result);
  const int columns = PQnfields(result);
  if (rows > 0) {
    keys.clear();
    for (const std::string& name : KeyColumns(query)) {
      for (int c = 0; c < columns; ++c) {
        if (strcasecmp(PQfname(result, c), name.c_str()) == 0) {
          keys.push_back(std::atoll(PQgetvalue(result, 0, c)));
        }
      }
    }
  }
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const int length = PQgetlength(result, r, c);
      checksum +=
          PQgetisnull(result, r, c) ? 1 : length + (length > 0 ? PQgetvalue(result, r, c)[0] : 0);
    }
  }
  PQclear(result);
  return rows > 0;
}

}  // namespace zebevi::bench
