// What the operations sent to the database while a test ran, and the text
// a trap appends for the diagnostic user.
#ifndef ZEBEVI_TESTS_SUPPORT_COMMAND_LOG_H_
#define ZEBEVI_TESTS_SUPPORT_COMMAND_LOG_H_

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "zebevi/db.h"
#include "zebevi/error.h"

namespace zebevi::testing {

// Records every command traced, on any thread, while it lives; the
// process's trace sink is cleared when it goes away.
class CommandLog {
 public:
  CommandLog() {
    SetCommandTraceSink([this](const CommandTrace& trace) {
      std::lock_guard lock(mutex_);
      traces_.push_back(trace);
    });
  }
  ~CommandLog() { SetCommandTraceSink(nullptr); }
  CommandLog(const CommandLog&) = delete;
  CommandLog& operator=(const CommandLog&) = delete;

  std::vector<CommandTrace> traces() const {
    std::lock_guard lock(mutex_);
    return traces_;
  }
  std::vector<std::string> commands() const;
  // The failure of the last command. REQUIRES: it failed.
  Error last_error() const {
    std::lock_guard lock(mutex_);
    return traces_.at(traces_.size() - 1).error.value();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<CommandTrace> traces_;
};

// What a trap appends for the diagnostic user: the prefix, the failure's
// description and number, and the label of the failing step.
std::string Detail(std::string_view prefix, const Error& error, int label);

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SUPPORT_COMMAND_LOG_H_
