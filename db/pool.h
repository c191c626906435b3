// The process's connection pool. A session released by its user goes back
// to a pool keyed by its effective connection string (user id and password
// included, so connections are never shared between credentials); the next
// Connect with the same string takes it again instead of opening a new one.
//
// A session is dropped instead of kept when it lost its connection (a
// connection-class failure) or is inside a transaction; an idle one is
// checked for health before it is lent again, and closed once it has been
// idle longer than the key's Pool Idle Timeout. Expired sessions are closed
// lazily, on the next checkout or return of any key: the pool starts no
// thread. At most Max Pool Size sessions per key exist at once, lent or
// idle; a checkout that finds them all lent waits up to Pool Timeout for
// one, then fails as a connection failure. See pool_settings.h for the keys.
//
// Thread-safe. A lent session belongs to one thread at a time.
#ifndef ZEBEVI_DB_POOL_H_
#define ZEBEVI_DB_POOL_H_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "db/connection_string.h"
#include "db/pool_settings.h"
#include "db/session.h"

namespace zebevi::db {

class ConnectionPool : public std::enable_shared_from_this<ConnectionPool> {
 public:
  using Opener = std::function<std::unique_ptr<Session>(const ConnectionString&)>;

  // REQUIRES: created through std::make_shared (lent sessions keep their
  // pool alive).
  explicit ConnectionPool(Opener opener);
  ~ConnectionPool();

  // The pool that Connect uses, opening sessions with OpenEngineSession.
  static ConnectionPool& Process();

  // A session for `effective` (the connection string with its user id and
  // password), idle or new, that returns here when destroyed. Failures are
  // those of opening a session, or kDbConnectionFailed when the pool stays
  // full for the whole wait.
  std::unique_ptr<Session> Acquire(const ConnectionString& effective, const PoolSettings& settings);

  struct Counts {
    std::size_t lent = 0;
    std::size_t idle = 0;
  };
  // The sessions of `effective`'s key now.
  Counts CountsOf(const ConnectionString& effective) const;
  // The sessions of every key now.
  Counts Totals() const;

  // Closes every idle session now (a server that stops); lent ones close
  // when they come back. Returns how many were closed.
  std::size_t CloseIdle();

 private:
  using Clock = std::chrono::steady_clock;
  class Lease;
  struct IdleSession {
    std::unique_ptr<Session> session;
    Clock::time_point since;
  };
  struct Entry {
    std::size_t total = 0;  // lent and idle
    std::size_t waiting = 0;
    std::chrono::seconds idle_timeout{0};
    std::vector<IdleSession> idle;  // most recently returned last
    std::condition_variable freed;
  };
  using Closing = std::vector<std::unique_ptr<Session>>;

  static std::string KeyOf(const ConnectionString& effective);
  void Return(const std::string& key, std::unique_ptr<Session> session);
  // Moves every session idle for too long into `closing`. REQUIRES: mutex_.
  void Expire(Clock::time_point now, Closing& closing);
  // Forgets `key` when nothing of it is left. REQUIRES: mutex_.
  void Forget(const std::string& key);

  const Opener opener_;
  mutable std::mutex mutex_;
  std::map<std::string, Entry> entries_;
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_POOL_H_
