#include "db/connection_string.h"
#include "db/session.h"
#include "zebevi/db.h"

namespace zebevi {
namespace {

Error ConnectionClosed() { return Error::Database(kDbObjectClosed, "the connection is closed"); }

}  // namespace

DbConnection::DbConnection() = default;

// Releasing the session closes it; nothing here can fail.
DbConnection::~DbConnection() = default;

void DbConnection::Open(std::string_view connection_string, std::string_view user_id,
                        std::string_view password) {
  if (session_) throw Error::Database(kDbConnectionFailed, "the connection is already open");
  session_ = db::Connect(db::ConnectionString::Parse(connection_string), user_id, password);
}

void DbConnection::Close() {
  if (!session_) throw ConnectionClosed();
  session_.reset();
}

bool DbConnection::is_open() const { return session_ != nullptr; }

void DbConnection::ReadTogether() { session().BeginReadSpan(); }

db::Session& DbConnection::session() {
  if (!session_) throw ConnectionClosed();
  return *session_;
}

}  // namespace zebevi
