// A parsed connection string: `key=value` pairs separated by ';', keys
// without regard to letter case and outer blanks, a value in single or double
// quotes when it holds ';' (a doubled quote inside stands for one quote).
// Usual synonyms share one key:
//   Data Source, Server, Host          -> "data source"
//   Initial Catalog, Database          -> "database"
//   User ID, UID, User, Username       -> "user id"
//   Password, PWD                      -> "password"
// Any other key is kept under its lower-case name ("port", "pooling"...).
// Short forms: "sqlite:PATH" is Provider=SQLite;Data Source=PATH, and a
// "postgresql://" or "postgres://" URI is Provider=PostgreSQL with the whole
// URI kept under "uri".
#ifndef ZEBEVI_DB_CONNECTION_STRING_H_
#define ZEBEVI_DB_CONNECTION_STRING_H_

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zebevi::db {

class ConnectionString {
 public:
  // A malformed string (an item without '=', an empty key, an unterminated
  // quote, text after a closing quote) or an empty one is a connection
  // failure. The error text never quotes the string, so a password cannot
  // leak through it.
  static ConnectionString Parse(std::string_view text);

  // The value of `key` (any letter case, any synonym), if present.
  std::optional<std::string> Get(std::string_view key) const;
  // Adds or replaces `key` (any letter case, any synonym).
  void Set(std::string_view key, std::string value);

  // The pairs in their order, keys in their normalised form.
  const std::vector<std::pair<std::string, std::string>>& pairs() const { return pairs_; }

  // The string for messages: pairs as `key=value;...` with any password
  // (including the one inside a URI) replaced by "***".
  std::string Masked() const;

  // The normalised form of a key: lower case, inner blanks single, synonyms
  // mapped ("Server" -> "data source").
  static std::string NormalizeKey(std::string_view key);

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_CONNECTION_STRING_H_
