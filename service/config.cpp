#include "service/config.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

namespace zebevi::service {
namespace {

using Json = nlohmann::json;

void RefuseUnknown(const Json& object, const std::set<std::string>& known, std::string_view where) {
  for (const auto& [name, value] : object.items()) {
    if (known.count(name) == 0) {
      throw ConfigError("unknown setting " + std::string(where) + name);
    }
  }
}

template <class Number>
Number NumberAt(const Json& object, const std::string& name, std::string_view where) {
  const Json& value = object.at(name);
  if (!value.is_number_unsigned()) {
    throw ConfigError(std::string(where) + name + " must be a whole number of at least 0");
  }
  return value.get<Number>();
}

void ReadLimits(const Json& json, Limits& limits) {
  if (!json.is_object()) throw ConfigError("limits must be an object");
  RefuseUnknown(json,
                {"body_bytes", "target_bytes", "header_bytes", "json_depth", "request_timeout_ms",
                 "idle_timeout_ms", "answer_timeout_ms", "drain_timeout_ms", "max_connections",
                 "max_queued", "retry_after_seconds"},
                "limits.");
  const auto size = [&](const char* name, std::size_t& out) {
    if (json.contains(name)) out = NumberAt<std::size_t>(json, name, "limits.");
  };
  const auto millis = [&](const char* name, std::chrono::milliseconds& out) {
    if (json.contains(name))
      out = std::chrono::milliseconds(NumberAt<std::int64_t>(json, name, "limits."));
  };
  size("body_bytes", limits.body_bytes);
  size("target_bytes", limits.target_bytes);
  size("header_bytes", limits.header_bytes);
  size("json_depth", limits.json_depth);
  millis("request_timeout_ms", limits.request_timeout);
  millis("idle_timeout_ms", limits.idle_timeout);
  millis("answer_timeout_ms", limits.answer_timeout);
  millis("drain_timeout_ms", limits.drain_timeout);
  size("max_connections", limits.max_connections);
  size("max_queued", limits.max_queued);
  if (json.contains("retry_after_seconds")) {
    limits.retry_after_seconds = NumberAt<int>(json, "retry_after_seconds", "limits.");
  }
}

ApiKey ReadKey(const Json& json, std::size_t index) {
  const std::string where = "keys[" + std::to_string(index) + "].";
  if (!json.is_object()) throw ConfigError(where + " must be an object");
  std::set<std::string> known{"caller", "sha256", "internal", "diagnostic"};
  for (const CallerFieldInfo& field : CallerFields()) known.emplace(field.name);
  RefuseUnknown(json, known, where);
  ApiKey key;
  if (!json.contains("caller") || !json["caller"].is_string() ||
      json["caller"].get<std::string>().empty()) {
    throw ConfigError(where + "caller must name the caller");
  }
  key.caller.name = json["caller"].get<std::string>();
  if (!json.contains("sha256") || !json["sha256"].is_string()) {
    throw ConfigError(where + "sha256 must hold the key's SHA-256 in hexadecimal");
  }
  try {
    key.sha256 = DigestFromHex(json["sha256"].get<std::string>());
  } catch (const std::invalid_argument& e) {
    throw ConfigError(where + "sha256: " + e.what());
  }
  for (const char* flag : {"internal", "diagnostic"}) {
    if (json.contains(flag) && !json[flag].is_boolean()) {
      throw ConfigError(where + flag + " must be true or false");
    }
  }
  key.caller.internal = json.value("internal", false);
  key.caller.diagnostic = json.value("diagnostic", false);
  for (const CallerFieldInfo& field : CallerFields()) {
    if (!json.contains(field.name)) continue;
    const Json& value = json[std::string(field.name)];
    if (!value.is_number_integer() || value.get<std::int64_t>() < INT32_MIN ||
        value.get<std::int64_t>() > INT32_MAX) {
      throw ConfigError(where + std::string(field.name) + " must be a 32-bit whole number");
    }
    key.caller.bound[field.field] = value.get<std::int32_t>();
  }
  if (key.caller.internal && !key.caller.bound.empty()) {
    throw ConfigError(where + " an internal key passes identifiers of its own; it binds none");
  }
  // Without a customer or group the operations apply no customer filter:
  // such a key would see every customer's trips.
  if (!key.caller.internal && !key.caller.bound.count(CallerField::kCustomer) &&
      !key.caller.bound.count(CallerField::kCustomerGroup)) {
    throw ConfigError(where + " a key that is not internal must bind customer or customer_group");
  }
  return key;
}

// A secret shorter than the MAC it keys would be the easier thing to guess.
constexpr std::size_t kMinimumShareSecret = 32;

void ReadShare(const Json& json, ShareSettings& share) {
  if (!json.is_object()) throw ConfigError("share must be an object");
  RefuseUnknown(json, {"secret", "public_url"}, "share.");
  if (json.contains("secret")) {
    if (!json["secret"].is_string() ||
        json["secret"].get<std::string>().size() < kMinimumShareSecret) {
      throw ConfigError("share.secret must be a text of at least 32 bytes");
    }
    share.secret = json["secret"].get<std::string>();
  }
  if (json.contains("public_url")) {
    if (!json["public_url"].is_string()) throw ConfigError("share.public_url must be a text");
    share.public_url = json["public_url"].get<std::string>();
    while (share.public_url.ends_with('/')) share.public_url.pop_back();
  }
}

}  // namespace

ListenAddress ParseListenAddress(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0) {
    throw ConfigError("listen address " + std::string(text) + " is not HOST:PORT");
  }
  std::string_view host = text.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  const std::string_view port = text.substr(colon + 1);
  unsigned number = 0;
  const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
  if (error != std::errc() || end != port.data() + port.size() || port.empty() || number > 65535) {
    throw ConfigError("listen address " + std::string(text) + " has no valid port");
  }
  return ListenAddress{std::string(host), static_cast<std::uint16_t>(number)};
}

unsigned ParseThreads(std::string_view text) {
  unsigned number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number == 0 || number > 1024) {
    throw ConfigError("threads must be a whole number from 1 to 1024, not " + std::string(text));
  }
  return number;
}

ServiceConfig::ServiceConfig() : threads(std::max(1u, std::thread::hardware_concurrency())) {}

void ReadConfigFile(const std::filesystem::path& path, ServiceConfig& config) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ConfigError("cannot read the config file " + path.string());
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  const Json json = Json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (json.is_discarded() || !json.is_object()) {
    throw ConfigError("the config file " + path.string() + " is not a JSON object");
  }
  try {
    RefuseUnknown(json, {"listen", "db", "threads", "limits", "keys", "share"}, "");
    if (json.contains("listen")) {
      if (!json["listen"].is_string()) throw ConfigError("listen must be \"HOST:PORT\"");
      config.listen = ParseListenAddress(json["listen"].get<std::string>());
    }
    if (json.contains("db")) {
      if (!json["db"].is_string()) throw ConfigError("db must be a connection string");
      config.db = json["db"].get<std::string>();
    }
    if (json.contains("threads")) {
      config.threads = ParseThreads(std::to_string(NumberAt<unsigned>(json, "threads", "")));
    }
    if (json.contains("limits")) ReadLimits(json["limits"], config.limits);
    if (json.contains("share")) ReadShare(json["share"], config.share);
    if (json.contains("keys")) {
      if (!json["keys"].is_array()) throw ConfigError("keys must be a list");
      std::vector<ApiKey> keys;
      for (std::size_t i = 0; i < json["keys"].size(); ++i)
        keys.push_back(ReadKey(json["keys"][i], i));
      config.keys = KeyRing(std::move(keys));
    }
  } catch (const ConfigError& e) {
    throw ConfigError(path.string() + ": " + e.what());
  } catch (const Json::exception& e) {
    throw ConfigError(path.string() + ": " + e.what());
  }
}

Environment ProcessEnvironment() {
  return [](std::string_view name) -> std::optional<std::string> {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
  };
}

void ApplyEnvironment(const Environment& environment, ServiceConfig& config) {
  if (auto listen = environment("ZEBEVI_LISTEN")) config.listen = ParseListenAddress(*listen);
  if (auto db = environment("ZEBEVI_DB")) config.db = *db;
  if (auto threads = environment("ZEBEVI_THREADS")) config.threads = ParseThreads(*threads);
}

}  // namespace zebevi::service
