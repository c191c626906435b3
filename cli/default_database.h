// Which database a friendly verb reads. `zebevi demo` writes its database to
// a default path, and the verbs read that path when no --db is given:
//   $ZEBEVI_DB if set, else $XDG_DATA_HOME/zebevi/demo.db, else
//   $HOME/.local/share/zebevi/demo.db.
// --db (and $ZEBEVI_DB) hold a connection string or a plain path to a
// SQLite file.
#ifndef ZEBEVI_CLI_DEFAULT_DATABASE_H_
#define ZEBEVI_CLI_DEFAULT_DATABASE_H_

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cli/console.h"

namespace zebevi::cli {

// No database where one was named (exit status 4).
class NoDatabase : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The demo database's file. A "sqlite:" prefix on $ZEBEVI_DB is dropped.
// Throws UsageError when neither of the variables it needs is set.
std::filesystem::path DefaultDatabasePath(const Console& console);

// A connection string ("sqlite:...", "postgresql://...", "key=value;...")
// rather than a path.
bool IsConnectionString(std::string_view text);

// The connection string for --db `db` (empty: the default database): a
// connection string as given, a path as "sqlite:PATH". Opens and closes a
// connection on it once, so a missing or unreachable database is told
// before any operation runs. Throws NoDatabase.
std::string DatabaseConnection(std::string_view db, const Console& console);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_DEFAULT_DATABASE_H_
