#include "db/pool.h"

#include <utility>

#include "zebevi/error.h"

namespace zebevi::db {

// A lent session: runs commands on the pooled one and hands it back when
// destroyed. A connection-class failure marks it lost, whatever the engine
// reports afterwards.
class ConnectionPool::Lease final : public Session {
 public:
  Lease(std::shared_ptr<ConnectionPool> pool, std::string key, std::unique_ptr<Session> session)
      : pool_(std::move(pool)), key_(std::move(key)), session_(std::move(session)) {}
  ~Lease() override {
    if (lost_) {
      session_.reset();
    } else {
      session_->EndReadSpan();
    }
    pool_->Return(key_, std::move(session_));
  }
  Lease(const Lease&) = delete;
  Lease& operator=(const Lease&) = delete;

  Table Execute(std::string_view command) override {
    try {
      return session_->Execute(command);
    } catch (const Error& error) {
      if (error.number() == kDbConnectionFailed) lost_ = true;
      throw;
    }
  }
  bool Reusable() const override { return !lost_ && session_->Reusable(); }
  bool Healthy() override { return !lost_ && session_->Healthy(); }
  void BeginReadSpan() override { session_->BeginReadSpan(); }
  void EndReadSpan() override { session_->EndReadSpan(); }

 private:
  std::shared_ptr<ConnectionPool> pool_;
  std::string key_;
  std::unique_ptr<Session> session_;
  bool lost_ = false;
};

ConnectionPool::ConnectionPool(Opener opener) : opener_(std::move(opener)) {}

ConnectionPool::~ConnectionPool() = default;

ConnectionPool& ConnectionPool::Process() {
  static const std::shared_ptr<ConnectionPool> pool =
      std::make_shared<ConnectionPool>(OpenEngineSession);
  return *pool;
}

std::string ConnectionPool::KeyOf(const ConnectionString& effective) {
  // Unit and record separators cannot be typed into a connection string by
  // accident, so two different strings never share a key.
  std::string key;
  for (const auto& [name, value] : effective.pairs()) key += name + '\x1f' + value + '\x1e';
  return key;
}

std::unique_ptr<Session> ConnectionPool::Acquire(const ConnectionString& effective,
                                                 const PoolSettings& settings) {
  const std::string key = KeyOf(effective);
  Closing closing;  // closed once the lock is released
  std::unique_lock lock(mutex_);
  const Clock::time_point deadline = Clock::now() + settings.wait;
  Expire(Clock::now(), closing);
  Entry& entry = entries_[key];
  entry.idle_timeout = settings.idle_timeout;
  while (true) {
    if (!entry.idle.empty()) {
      std::unique_ptr<Session> session = std::move(entry.idle.back().session);
      entry.idle.pop_back();
      lock.unlock();
      if (session->Healthy()) {
        return std::make_unique<Lease>(shared_from_this(), key, std::move(session));
      }
      session.reset();
      lock.lock();
      --entry.total;
      continue;
    }
    if (entry.total < settings.max_size) {
      ++entry.total;
      lock.unlock();
      try {
        return std::make_unique<Lease>(shared_from_this(), key, opener_(effective));
      } catch (...) {
        lock.lock();
        --entry.total;
        entry.freed.notify_one();
        Forget(key);
        throw;
      }
    }
    ++entry.waiting;
    const bool freed = entry.freed.wait_until(
        lock, deadline, [&] { return !entry.idle.empty() || entry.total < settings.max_size; });
    --entry.waiting;
    if (!freed) {
      Forget(key);
      throw Error::Database(kDbConnectionFailed,
                            "no pooled connection became free within " +
                                std::to_string(settings.wait.count()) + " s: all " +
                                std::to_string(settings.max_size) + " are in use");
    }
  }
}

void ConnectionPool::Return(const std::string& key, std::unique_ptr<Session> session) {
  const bool keep = session && session->Reusable();
  Closing closing;
  if (!keep) closing.push_back(std::move(session));
  std::lock_guard lock(mutex_);
  const Clock::time_point now = Clock::now();
  Entry& entry = entries_.at(key);
  if (keep) {
    entry.idle.push_back({std::move(session), now});
  } else {
    --entry.total;
  }
  entry.freed.notify_one();
  Expire(now, closing);
  Forget(key);
}

std::size_t ConnectionPool::CloseIdle() {
  Closing closing;
  {
    std::lock_guard lock(mutex_);
    // At the end of time every idle session has waited long enough.
    Expire(Clock::time_point::max(), closing);
  }
  return closing.size();
}

void ConnectionPool::Expire(Clock::time_point now, Closing& closing) {
  for (auto it = entries_.begin(); it != entries_.end();) {
    Entry& entry = it->second;
    // Oldest first: stop at the first one still young enough.
    std::size_t expired = 0;
    while (expired < entry.idle.size() && now - entry.idle[expired].since >= entry.idle_timeout) {
      closing.push_back(std::move(entry.idle[expired].session));
      ++expired;
    }
    if (expired > 0) {
      entry.idle.erase(entry.idle.begin(), entry.idle.begin() + static_cast<long>(expired));
      entry.total -= expired;
      entry.freed.notify_all();
    }
    if (entry.total == 0 && entry.waiting == 0) {
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
}

void ConnectionPool::Forget(const std::string& key) {
  auto it = entries_.find(key);
  if (it != entries_.end() && it->second.total == 0 && it->second.waiting == 0) {
    entries_.erase(it);
  }
}

ConnectionPool::Counts ConnectionPool::CountsOf(const ConnectionString& effective) const {
  std::lock_guard lock(mutex_);
  auto it = entries_.find(KeyOf(effective));
  if (it == entries_.end()) return {};
  return {it->second.total - it->second.idle.size(), it->second.idle.size()};
}

ConnectionPool::Counts ConnectionPool::Totals() const {
  std::lock_guard lock(mutex_);
  Counts counts;
  for (const auto& [key, entry] : entries_) {
    counts.lent += entry.total - entry.idle.size();
    counts.idle += entry.idle.size();
  }
  return counts;
}

}  // namespace zebevi::db
