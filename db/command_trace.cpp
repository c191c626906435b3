#include "db/command_trace.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <utility>

#include "zebevi/db.h"

namespace zebevi {
namespace {

// The one process-wide sink. Commands take a reference to it under the
// lock and call it outside, so a sink that is replaced while a command runs
// stays alive until that command has reported.
struct SinkSlot {
  std::mutex mutex;
  std::shared_ptr<const CommandTraceSink> sink;
};

SinkSlot& Slot() {
  static SinkSlot slot;
  return slot;
}

std::shared_ptr<const CommandTraceSink> CurrentSink() {
  SinkSlot& slot = Slot();
  std::lock_guard lock(slot.mutex);
  return slot.sink;
}

}  // namespace

void SetCommandTraceSink(CommandTraceSink sink) {
  auto shared = sink ? std::make_shared<const CommandTraceSink>(std::move(sink)) : nullptr;
  SinkSlot& slot = Slot();
  std::lock_guard lock(slot.mutex);
  slot.sink = std::move(shared);
}

namespace db {

Table RunTraced(Session& session, std::string_view command) {
  std::shared_ptr<const CommandTraceSink> sink = CurrentSink();
  if (!sink) return session.Execute(command);

  using Clock = std::chrono::steady_clock;
  CommandTrace trace;
  trace.sql = std::string(command);
  const Clock::time_point start = Clock::now();
  auto elapsed = [&] {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  };
  try {
    Table table = session.Execute(command);
    trace.duration = elapsed();
    trace.rows = static_cast<std::int64_t>(table.rows.size());
    (*sink)(trace);
    return table;
  } catch (const Error& error) {
    trace.duration = elapsed();
    trace.error = error;
    (*sink)(trace);
    throw;
  }
}

}  // namespace db
}  // namespace zebevi
