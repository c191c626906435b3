// `--trace`: every command the component sends, one JSON object a line on
// standard error: {"sql": TEXT, "rows": N, "us": MICROSECONDS}, with
// "error": {"number": N, "description": D} in place of "rows" on failure.
#ifndef ZEBEVI_CLI_TRACE_PRINTER_H_
#define ZEBEVI_CLI_TRACE_PRINTER_H_

#include <iosfwd>
#include <string>

#include "zebevi/db.h"

namespace zebevi::cli {

std::string TraceLine(const CommandTrace& trace);

// Sends the process's command trace to `err` until the guard goes away.
class TraceToStream {
 public:
  explicit TraceToStream(std::ostream& err);
  ~TraceToStream();
  TraceToStream(const TraceToStream&) = delete;
  TraceToStream& operator=(const TraceToStream&) = delete;
};

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_TRACE_PRINTER_H_
