// The service's settings: where it listens, which database it serves, how
// many database workers it runs, its limits and its API keys. They come, each
// later source overriding the earlier, from the defaults, the config file
// (JSON), the environment (ZEBEVI_LISTEN, ZEBEVI_DB, ZEBEVI_THREADS) and the
// command line. A database password never has to go on a command line.
#ifndef ZEBEVI_SERVICE_CONFIG_H_
#define ZEBEVI_SERVICE_CONFIG_H_

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "service/auth.h"
#include "service/limits.h"

namespace zebevi::service {

// A setting that cannot be used; the text names it.
class ConfigError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ListenAddress {
  std::string host = "127.0.0.1";
  std::uint16_t port = 8080;  // 0: any free port
};

// "HOST:PORT", "[IPV6]:PORT". Throws ConfigError.
ListenAddress ParseListenAddress(std::string_view text);

// Share links: POST /v1/trips/{document_id}/share signs them, GET
// /track/{token} opens them.
struct ShareSettings {
  std::string secret;      // the signing key, at least 32 bytes; empty: share links are off
  std::string public_url;  // what a link starts with ("https://rastreio.example"); empty: a path
};

struct ServiceConfig {
  ListenAddress listen;
  std::string db;    // a connection string or a SQLite file; empty: the demo database
  unsigned threads;  // database workers
  Limits limits;
  KeyRing keys;
  ShareSettings share;

  ServiceConfig();  // the defaults: one worker per core
};

// Reads a config file over `config`. Throws ConfigError naming the file and
// the setting at fault; unknown settings are refused, so a misspelt limit is
// not silently the default.
void ReadConfigFile(const std::filesystem::path& path, ServiceConfig& config);

// The value of an environment variable, if set and not empty.
using Environment = std::function<std::optional<std::string>(std::string_view)>;
Environment ProcessEnvironment();

// ZEBEVI_LISTEN, ZEBEVI_DB and ZEBEVI_THREADS over `config`. Throws
// ConfigError.
void ApplyEnvironment(const Environment& environment, ServiceConfig& config);

// A worker count as given ("4"); at least 1. Throws ConfigError.
unsigned ParseThreads(std::string_view text);

}  // namespace zebevi::service

#endif  // ZEBEVI_SERVICE_CONFIG_H_
