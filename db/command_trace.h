// Running a command with its trace: every command the component sends goes
// through here, so the process's trace sink (SetCommandTraceSink in
// zebevi/db.h) sees each one with its row count or its failure.
#ifndef ZEBEVI_DB_COMMAND_TRACE_H_
#define ZEBEVI_DB_COMMAND_TRACE_H_

#include <string_view>

#include "db/session.h"

namespace zebevi::db {

// Runs `command` on `session`. When a sink is set, times the run and hands
// the sink the command text exactly as given, and the row count or the
// failure (which is then raised again).
Table RunTraced(Session& session, std::string_view command);

}  // namespace zebevi::db

#endif  // ZEBEVI_DB_COMMAND_TRACE_H_
