#include "db/odbc/odbc_conninfo.h"

#include <charconv>

#include "db/ascii.h"
#include "db/pool_settings.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

// Longer than any driver waits for anything.
constexpr long kMostSeconds = 86400;

[[noreturn]] void Invalid(const std::string& key, std::string_view problem) {
  throw Error::Database(kDbConnectionFailed,
                        "connection string key " + key + " " + std::string(problem));
}

bool IsLoginTimeoutKey(const std::string& key) {
  return key == "login timeout" || key == "connect timeout" || key == "connection timeout";
}

bool IsQueryTimeoutKey(const std::string& key) {
  return key == "query timeout" || key == "command timeout";
}

std::chrono::seconds Seconds(const std::string& key, std::string_view text) {
  text = TrimBlanks(text);
  long n = -1;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n < 0 ||
      n > kMostSeconds) {
    Invalid(key, "must be a whole number of seconds from 0 to " + std::to_string(kMostSeconds));
  }
  return std::chrono::seconds(n);
}

std::string KeywordOf(const std::string& key) {
  if (key == "data source") return "SERVER";
  if (key == "database") return "DATABASE";
  if (key == "user id") return "UID";
  if (key == "password") return "PWD";
  if (key == "driver") return "DRIVER";
  if (key == "dsn") return "DSN";
  return key;
}

// The value a braced one stands for: "{a}}b}" is "a}b".
std::string Unbraced(const std::string& key, std::string_view braced) {
  std::string value;
  for (std::size_t i = 1; i + 1 < braced.size(); ++i) {
    if (braced[i] == '}') {
      if (i + 2 >= braced.size() || braced[i + 1] != '}') Invalid(key, "has an unmatched '}'");
      ++i;
    }
    value += braced[i];
  }
  return value;
}

std::string Quoted(std::string_view value) {
  const bool plain =
      value.find_first_of(";{}=") == std::string_view::npos && TrimBlanks(value) == value;
  if (plain) return std::string(value);
  std::string quoted = "{";
  for (char c : value) {
    quoted += c;
    if (c == '}') quoted += '}';
  }
  return quoted + '}';
}

}  // namespace

OdbcConnectParams OdbcConnectParamsOf(const ConnectionString& connection_string) {
  OdbcConnectParams params;
  for (const auto& [key, written] : connection_string.pairs()) {
    if (key == "provider" || PoolSettings::IsPoolKey(key)) continue;
    if (IsLoginTimeoutKey(key)) {
      params.login_timeout = Seconds(key, written);
      continue;
    }
    if (IsQueryTimeoutKey(key)) {
      params.query_timeout = Seconds(key, written);
      continue;
    }
    const bool braced = written.size() >= 2 && written.front() == '{' && written.back() == '}';
    std::string value = braced ? Unbraced(key, written) : written;
    if (key == "password") params.password = value;
    if (!params.text.empty()) params.text += ';';
    params.text += KeywordOf(key) + '=' + Quoted(value);
  }
  return params;
}

std::string Masked(std::string text, const std::string& secret) {
  if (secret.empty()) return text;
  for (std::size_t at = text.find(secret); at != std::string::npos;
       at = text.find(secret, at + 3)) {
    text.replace(at, secret.size(), "***");
  }
  return text;
}

}  // namespace zebevi::db
