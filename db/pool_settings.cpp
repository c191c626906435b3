#include "db/pool_settings.h"

#include <string>

#include "db/ascii.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

constexpr std::string_view kPooling = "pooling";
constexpr std::string_view kMaxPoolSize = "max pool size";
constexpr std::string_view kPoolTimeout = "pool timeout";
constexpr std::string_view kPoolIdleTimeout = "pool idle timeout";

// Limits that keep a typing slip from holding thousands of connections or
// waiting for hours.
constexpr long kMostConnections = 1000;
constexpr long kMostSeconds = 86400;

[[noreturn]] void Invalid(std::string_view key, std::string_view expected) {
  throw Error::Database(kDbConnectionFailed, "connection string key " + std::string(key) +
                                                 " must be " + std::string(expected));
}

}  // namespace

PoolSettings PoolSettings::From(const ConnectionString& connection_string) {
  PoolSettings settings;
  if (std::optional<std::string> pooling = connection_string.Get(kPooling)) {
    std::string_view value = TrimBlanks(*pooling);
    if (AsciiIEquals(value, "true") || AsciiIEquals(value, "yes") || value == "1") {
      settings.enabled = true;
    } else if (AsciiIEquals(value, "false") || AsciiIEquals(value, "no") || value == "0") {
      settings.enabled = false;
    } else {
      Invalid(kPooling, "true or false");
    }
  }
  settings.max_size = static_cast<std::size_t>(
      connection_string.WholeNumber(kMaxPoolSize, 1, kMostConnections, 16));
  settings.wait = std::chrono::seconds(
      connection_string.WholeNumber(kPoolTimeout, 0, kMostSeconds, settings.wait.count()));
  settings.idle_timeout = std::chrono::seconds(connection_string.WholeNumber(
      kPoolIdleTimeout, 0, kMostSeconds, settings.idle_timeout.count()));
  return settings;
}

bool PoolSettings::IsPoolKey(std::string_view normalized_key) {
  return normalized_key == kPooling || normalized_key == kMaxPoolSize ||
         normalized_key == kPoolTimeout || normalized_key == kPoolIdleTimeout;
}

}  // namespace zebevi::db
