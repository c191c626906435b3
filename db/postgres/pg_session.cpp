#include "db/postgres/pg_session.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "db/postgres/pg_conninfo.h"
#include "db/postgres/pg_result.h"
#include "db/postgres/pg_statement.h"
#include "zebevi/error.h"

namespace zebevi::db {

namespace {

[[noreturn]] void CannotConnect(const std::string& reason) {
  throw Error::Database(kDbConnectionFailed, "cannot connect to PostgreSQL: " + reason);
}

}  // namespace

void PgSession::Finisher::operator()(pg_conn* connection) const { PQfinish(connection); }

PgSession::PgSession(const ConnectionString& connection_string) {
  const PgConnectParams params = PgConnectParamsOf(connection_string);
  std::vector<const char*> keywords;
  std::vector<const char*> values;
  std::chrono::seconds timeout{0};
  for (const auto& [keyword, value] : params) {
    keywords.push_back(keyword.c_str());
    values.push_back(value.c_str());
    if (keyword == "connect_timeout") timeout = std::chrono::seconds(std::atoi(value.c_str()));
  }
  keywords.push_back(nullptr);
  values.push_back(nullptr);
  // expand_dbname 0: a database name is only a name; a URI was expanded
  // into its parameters already. Connecting step by step lets the notice
  // receiver be in place before the server can say anything.
  connection_.reset(PQconnectStartParams(keywords.data(), values.data(), 0));
  if (PQstatus(connection_.get()) == CONNECTION_BAD) {
    CannotConnect(PgConnectionMessage(connection_.get()));
  }
  PQsetNoticeReceiver(connection_.get(), OnNotice, this);
  WaitForConnection(timeout);
}

void PgSession::WaitForConnection(std::chrono::seconds timeout) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + timeout;
  PostgresPollingStatusType state = PGRES_POLLING_WRITING;
  while (state != PGRES_POLLING_OK) {
    if (state == PGRES_POLLING_FAILED) CannotConnect(PgConnectionMessage(connection_.get()));
    pollfd watch{};
    watch.fd = PQsocket(connection_.get());
    watch.events = state == PGRES_POLLING_READING ? POLLIN : POLLOUT;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const int ready = timeout.count() > 0
                          ? ::poll(&watch, 1, static_cast<int>(std::max<long>(left, 0)))
                          : ::poll(&watch, 1, -1);
    if (ready == 0) CannotConnect("timeout expired");
    if (ready < 0) {
      if (errno == EINTR) continue;
      CannotConnect(std::strerror(errno));
    }
    state = PQconnectPoll(connection_.get());
  }
}

PgSession::~PgSession() = default;

void PgSession::OnNotice(void* self, const PGresult* notice) {
  const char* severity = PQresultErrorField(notice, PG_DIAG_SEVERITY_NONLOCALIZED);
  if (severity && (std::strcmp(severity, "FATAL") == 0 || std::strcmp(severity, "PANIC") == 0)) {
    static_cast<PgSession*>(self)->lost_ = true;
  }
}

Table PgSession::Execute(std::string_view command) {
  std::optional<ProcedureCall> call = ParseProcedureCall(command);
  const PgStatement statement = call ? PgStatement(*call) : PgStatement(command);
  try {
    PgResult result =
        call ? prepared_.Run(connection_.get(), statement) : statement.Run(connection_.get());
    return ReadTable(result.get());
  } catch (const Error& error) {
    if (error.number() == kDbConnectionFailed) lost_ = true;
    throw;
  }
}

bool PgSession::Reusable() const {
  return !lost_ && PQstatus(connection_.get()) == CONNECTION_OK &&
         PQtransactionStatus(connection_.get()) == PQTRANS_IDLE;
}

bool PgSession::Healthy() {
  pollfd watch{};
  watch.fd = PQsocket(connection_.get());
  watch.events = POLLIN;
  // Anything to read on an idle session is a notice or the end of the
  // connection; read it all.
  while (Reusable() && watch.fd >= 0 && ::poll(&watch, 1, 0) > 0) {
    if (PQconsumeInput(connection_.get()) == 0) lost_ = true;
    PQisBusy(connection_.get());  // parses what was read, notices included
    watch.revents = 0;
  }
  return Reusable() && watch.fd >= 0;
}

}  // namespace zebevi::db
