#include "db/postgres/pg_conninfo.h"

#include <libpq-fe.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string_view>

#include "db/ascii.h"
#include "db/pool_settings.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

// Settings every session gets, after the caller's own options so that they
// win: results are read as UTF-8 text and ISO dates.
constexpr std::string_view kClientEncoding = "UTF8";
constexpr std::string_view kSessionOptions = "-c DateStyle=ISO,YMD";
// Without it, a host that never answers holds the caller for minutes.
constexpr std::string_view kDefaultConnectTimeout = "15";
// Without it, a call blocked behind a lock never returns.
constexpr std::string_view kDefaultStatementTimeout = "30000";

void Put(PgConnectParams& params, std::string keyword, std::string value) {
  auto it = std::find_if(params.begin(), params.end(),
                         [&](const auto& param) { return param.first == keyword; });
  if (it != params.end()) {
    it->second = std::move(value);
  } else {
    params.emplace_back(std::move(keyword), std::move(value));
  }
}

// The parameters a URI sets. libpq's own message about a bad URI may quote
// part of it, a password included, so it is not passed on.
void PutUri(PgConnectParams& params, const std::string& uri) {
  char* message = nullptr;
  std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
      PQconninfoParse(uri.c_str(), &message), PQconninfoFree);
  PQfreemem(message);
  if (!options) throw Error::Database(kDbConnectionFailed, "the PostgreSQL URI is malformed");
  for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
    if (option->val) Put(params, option->keyword, option->val);
  }
}

std::string KeywordOf(const std::string& key) {
  if (key == "data source") return "host";
  if (key == "database") return "dbname";
  if (key == "user id") return "user";
  if (key == "connect timeout" || key == "connection timeout" || key == "timeout") {
    return "connect_timeout";
  }
  std::string keyword = key;
  std::replace(keyword.begin(), keyword.end(), ' ', '_');
  return keyword;
}

// Only digits: the value goes into the server's option line, where a blank
// would start another option.
std::string StatementTimeoutOption(std::string_view value) {
  value = TrimBlanks(value);
  if (value.empty() || value.size() > 9 ||
      !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    throw Error::Database(kDbConnectionFailed,
                          "connection string key statement timeout must be a whole number of "
                          "milliseconds");
  }
  return "-c statement_timeout=" + std::string(value);
}

// libpq's own keywords, as the library in use knows them.
const std::set<std::string, std::less<>>& LibpqKeywords() {
  static const std::set<std::string, std::less<>> keywords = [] {
    std::set<std::string, std::less<>> names;
    std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(PQconndefaults(),
                                                                         PQconninfoFree);
    if (!options) throw Error::Database(kDbConnectionFailed, "libpq has no memory for its keywords");
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
      names.emplace(option->keyword);
    }
    return names;
  }();
  return keywords;
}

// Our own keys, and any key that names a libpq keyword. Anything else is
// refused here: libpq's message would quote the key, and a key may be the
// tail of a password that held ';'.
bool IsKnownKey(const std::string& key) {
  return key == "provider" || key == "uri" || key == "statement timeout" ||
         PoolSettings::IsPoolKey(key) || LibpqKeywords().count(KeywordOf(key)) > 0;
}

}  // namespace

PgConnectParams PgConnectParamsOf(const ConnectionString& connection_string) {
  connection_string.RefuseUnknownKeys(IsKnownKey);
  PgConnectParams params;
  std::string timeout_option = StatementTimeoutOption(kDefaultStatementTimeout);
  std::string extra_options;
  for (const auto& [key, value] : connection_string.pairs()) {
    if (key == "provider" || PoolSettings::IsPoolKey(key)) continue;
    if (key == "uri") {
      PutUri(params, value);
    } else if (key == "statement timeout") {
      extra_options = StatementTimeoutOption(value);
      timeout_option.clear();
    } else {
      Put(params, KeywordOf(key), value);
    }
  }
  // The default timeout comes first, so that a statement_timeout in the
  // caller's own options overrides it; the Statement Timeout key overrides
  // both.
  std::string options = timeout_option;
  for (const auto& [keyword, value] : params) {
    if (keyword == "options" && !value.empty()) options += (options.empty() ? "" : " ") + value;
  }
  for (std::string_view more : {std::string_view(extra_options), kSessionOptions}) {
    if (more.empty()) continue;
    if (!options.empty()) options += ' ';
    options += more;
  }
  Put(params, "options", options);
  if (std::none_of(params.begin(), params.end(),
                   [](const auto& param) { return param.first == "connect_timeout"; })) {
    Put(params, "connect_timeout", std::string(kDefaultConnectTimeout));
  }
  Put(params, "client_encoding", std::string(kClientEncoding));
  return params;
}

}  // namespace zebevi::db
