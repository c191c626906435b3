#include "cli/trace_printer.h"

#include <ostream>

#include "cli/json_value.h"

namespace zebevi::cli {

std::string TraceLine(const CommandTrace& trace) {
  Json line{{"sql", trace.sql}};
  if (trace.error) {
    line["error"] = Json{{"number", trace.error->number()},
                         {"description", trace.error->description()}};
  } else {
    line["rows"] = trace.rows.value_or(0);
  }
  line["us"] = trace.duration.count();
  return line.dump(-1, ' ', false, Json::error_handler_t::replace);
}

TraceToStream::TraceToStream(std::ostream& err) {
  SetCommandTraceSink([&err](const CommandTrace& trace) { err << TraceLine(trace) << '\n'; });
}

TraceToStream::~TraceToStream() { SetCommandTraceSink(nullptr); }

}  // namespace zebevi::cli
