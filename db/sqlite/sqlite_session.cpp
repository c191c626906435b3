#include "db/sqlite/sqlite_session.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <optional>
#include <tuple>
#include <utility>

#include "db/sqlite/sqlite_result.h"
#include "db/sqlite/sqlite_statement.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

constexpr int kBusyTimeoutMs = 5000;
// SQLite maps at most SQLITE_MAX_MMAP_SIZE, just under 2 GiB, and would
// lower a larger request without a word.
constexpr long kMostMappedMegabytes = 2047;
// Plain SQL statements kept per session; the oldest goes first.
constexpr std::size_t kPlainStatements = 16;

// Process-wide settings, which SQLite takes only before it initialises: so
// they are made once, before the first session opens. A host that
// initialised SQLite already keeps its own (SQLITE_MISUSE), which costs
// speed, not answers.
//  - No memory statistics: SQLite keeps them under one global mutex, taken
//    on every allocation, and nothing here reads them.
//  - No page-cache lines allocated ahead: every temporary b-tree (a
//    materialized subquery, a UNION) would otherwise take and give back
//    twenty pages' worth of memory at once, each time a statement runs.
void ConfigureSqlite() {
  static const bool configured = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
    return true;
  }();
  static_cast<void>(configured);
}

// The device and inode of `path`, or nothing when it cannot be read.
std::optional<std::pair<std::uint64_t, std::uint64_t>> FileIdentity(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return std::pair<std::uint64_t, std::uint64_t>(info.st_dev, info.st_ino);
}

[[noreturn]] void CannotOpen(const std::string& path, std::string_view reason) {
  throw Error::Database(kDbConnectionFailed,
                        "cannot open database file " + path + ": " + std::string(reason));
}

}  // namespace

void SqliteSession::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

SqliteSession::SqliteSession(const ConnectionString& connection_string) {
  std::string path = connection_string.Get("data source").value_or("");
  if (path.empty()) {
    throw Error::Database(kDbConnectionFailed,
                          "the connection string names no Data Source for SQLite");
  }
  // Only files: an in-memory database would stand in for the real one.
  if (path == ":memory:") CannotOpen(path, "not a file");
  // A name starting "file:" would be read as a URI where SQLite takes URIs
  // by default; "./" keeps it a plain file name.
  std::string file_name = path.starts_with("file:") ? "./" + path : path;
  const long mapped_megabytes =
      connection_string.WholeNumber("memory map mb", 0, kMostMappedMegabytes, 0);

  ConfigureSqlite();
  sqlite3* db = nullptr;
  int rc =
      sqlite3_open_v2(file_name.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  db_.reset(db);
  if (rc != SQLITE_OK) CannotOpen(path, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  if (mapped_megabytes > 0) {
    const std::string pragma =
        "PRAGMA mmap_size = " + std::to_string(mapped_megabytes * 1024 * 1024);
    sqlite3_exec(db, pragma.c_str(), nullptr, nullptr, nullptr);
  }
  // SQLite reads nothing when it opens; reading the schema now tells a file
  // that is no database from one that is.
  rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) CannotOpen(path, sqlite3_errmsg(db));
  path_ = file_name;
  if (auto identity = FileIdentity(path_)) std::tie(device_, inode_) = *identity;
  catalog_ = std::make_unique<SqliteCatalog>(db);
}

SqliteSession::~SqliteSession() { EndSpanTransaction(); }

Table SqliteSession::Execute(std::string_view command) {
  if (std::optional<ProcedureCall> call = ParseProcedureCall(command)) return Call(*call);
  // Plain SQL may begin or end a transaction of its own.
  EndSpanTransaction();
  SqliteStatement& statement = PlainStatement(command);
  StatementUse use(statement);
  return ReadTable(statement);
}

SqliteStatement& SqliteSession::PlainStatement(std::string_view sql) {
  std::string text(sql);
  if (auto it = plain_.find(text); it != plain_.end()) return *it->second;
  auto statement = std::make_unique<SqliteStatement>(db_.get(), sql);
  if (plain_.size() == kPlainStatements) {
    plain_.erase(plain_order_.front());
    plain_order_.pop_front();
  }
  plain_order_.push_back(text);
  return *plain_.emplace(std::move(text), std::move(statement)).first->second;
}

bool SqliteSession::Reusable() const { return sqlite3_get_autocommit(db_.get()) != 0; }

bool SqliteSession::Healthy() {
  auto identity = FileIdentity(path_);
  return identity && identity->first == device_ && identity->second == inode_;
}

void SqliteSession::EndReadSpan() {
  EndSpanTransaction();
  in_span_ = false;
}

void SqliteSession::EndSpanTransaction() {
  if (!span_reading_) return;
  span_reading_ = false;
  // A read transaction cannot fail to end; if it did, the session would
  // stay inside it and the pool would not lend it again.
  if (sqlite3_get_autocommit(db_.get()) == 0) RunTransactionStatement(*commit_);
}

bool SqliteSession::RunTransactionStatement(SqliteStatement& statement) {
  const bool done = sqlite3_step(statement.get()) == SQLITE_DONE;
  sqlite3_reset(statement.get());
  return done;
}

Table SqliteSession::Call(const ProcedureCall& call) {
  // Deferred: the transaction takes the file's shared lock with its first
  // read, as the call would have, and keeps it for the calls that follow.
  if (in_span_ && !span_reading_ && sqlite3_get_autocommit(db_.get()) != 0) {
    if (!commit_) {
      begin_ = std::make_unique<SqliteStatement>(db_.get(), "BEGIN");
      commit_ = std::make_unique<SqliteStatement>(db_.get(), "COMMIT");
    }
    span_reading_ = RunTransactionStatement(*begin_);
  }
  SqliteProcedure& procedure = catalog_->Find(call.name);
  // The body was read at some earlier snapshot. Once the call has read its
  // rows, the data version tells whether another connection changed the
  // database since; only then is the body read again, and a changed one
  // runs in its place. A failure may come from a stale body too. A reload
  // that fails (the procedure is gone) ends the call with its own failure.
  std::optional<Table> table;
  try {
    table = Run(procedure, call);
  } catch (const Error&) {
    if (!catalog_->Reload(procedure)) throw;
    return Run(procedure, call);
  }
  if (!catalog_->Changed(procedure) || !catalog_->Reload(procedure)) return std::move(*table);
  return Run(procedure, call);
}

Table SqliteSession::Run(SqliteProcedure& procedure, const ProcedureCall& call) {
  SqliteStatement& statement = *procedure.statement;
  const int parameters = statement.parameter_count();
  if (call.args.size() > static_cast<std::size_t>(parameters)) {
    throw Error::Database(kDbCommandFailed,
                          "procedure " + call.name +
                              ": too many arguments: " + std::to_string(call.args.size()) +
                              " given, at most " + std::to_string(parameters) + " taken");
  }
  StatementUse use(statement);
  for (std::size_t k = 0; k < call.args.size(); ++k) {
    statement.Bind(static_cast<int>(k + 1), call.args[k]);
  }
  return ReadTable(statement);
}

}  // namespace zebevi::db
