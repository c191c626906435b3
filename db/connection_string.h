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

#include <functional>
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

  // The value of `key` as a whole number from `least` to `most`, or
  // `fallback` when the key is absent. Any other value is a connection
  // failure naming the key.
  long WholeNumber(std::string_view key, long least, long most, long fallback) const;

  // The pairs in their order, keys in their normalised form.
  const std::vector<std::pair<std::string, std::string>>& pairs() const { return pairs_; }

  // Throws a connection failure for the first key that `is_known` (given the
  // normalised key) refuses, naming the key's item by its position only. An
  // engine that knows its keys calls it; one that hands unknown keys on to
  // its own client library need not.
  void RefuseUnknownKeys(const std::function<bool(const std::string&)>& is_known) const;

  // Whether the string names a user of its own: a non-empty user id, or a
  // user in its URI (`scheme://user@...`, `?user=`, or `user=` in a keyword
  // list).
  bool NamesUser() const;

  // The string for messages: pairs as `key=value;...` with every secret
  // (password, sslpassword, in any letter case, and the same inside a URI
  // item, whether URI or keyword list, keys percent-encoded or not) replaced
  // by "***". A URI item that cannot be read is masked whole. Other keys
  // show as parsed: a string that an engine refused for an unknown key may
  // hold a password's tail as that key, so mask only accepted strings.
  std::string Masked() const;

  // The normalised form of a key: lower case, inner blanks single, synonyms
  // mapped ("Server" -> "data source").
  static std::string NormalizeKey(std::string_view key);

 private:
  // Replaces or adds a pair; `item` is its place in the parsed text (1 for
  // the first item), 0 for a pair the code set.
  void SetItem(std::string_view key, std::string value, int item);

  std::vector<std::pair<std::string, std::string>> pairs_;
  std::vector<int> items_;  // each pair's item, parallel to pairs_
};

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_CONNECTION_STRING_H_
