// How a connection string asks to be pooled. Engine-neutral keys, read by
// the pool and ignored by every engine:
//   Pooling            true (default) or false, also yes/no and 1/0
//   Max Pool Size      connections per pool key, lent and idle (default 16)
//   Pool Timeout       seconds to wait for a free connection when the pool
//                      is full (default 15; 0 fails at once)
//   Pool Idle Timeout  seconds an idle connection is kept (default 60)
#ifndef ZEBEVI_DB_POOL_SETTINGS_H_
#define ZEBEVI_DB_POOL_SETTINGS_H_

#include <chrono>
#include <cstddef>
#include <string_view>

#include "db/connection_string.h"

namespace zebevi::db {

struct PoolSettings {
  bool enabled = true;
  std::size_t max_size = 16;
  std::chrono::seconds wait{15};
  std::chrono::seconds idle_timeout{60};

  // The settings `connection_string` gives. A value that is not one of the
  // forms above is a connection failure naming the key.
  static PoolSettings From(const ConnectionString& connection_string);

  // Whether `normalized_key` (ConnectionString::NormalizeKey) is one of the
  // pool's keys, which an engine leaves alone.
  static bool IsPoolKey(std::string_view normalized_key);
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_POOL_SETTINGS_H_
