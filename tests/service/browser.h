// Debian's chromium, headless, driven through its DevTools protocol over a
// pipe (--remote-debugging-pipe: JSON messages ended by a NUL byte, on file
// descriptors 3 and 4), so the tests need no WebSocket client. One tab; what
// the page writes to the console and the status of its document are kept.
#ifndef ZEBEVI_TESTS_SERVICE_BROWSER_H_
#define ZEBEVI_TESTS_SERVICE_BROWSER_H_

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace zebevi::testing {

class Browser {
 public:
  Browser();  // a test failure when the browser is missing or does not answer
  ~Browser();

  bool started() const { return !session_.empty(); }
  // A screen `width` CSS pixels wide (a phone's below 600, with touch and
  // the viewport meta tag honoured) and `height` high.
  void Resize(int width, int height);

  struct Load {
    int status = 0;                    // of the document; 0 when none arrived
    std::vector<std::string> console;  // console calls, uncaught exceptions, log errors
  };
  Load Open(const std::string& url);  // waits for the load event
  // The value of a JavaScript expression (made JSON by the page).
  nlohmann::json Evaluate(const std::string& expression);
  void Screenshot(const std::filesystem::path& path);  // a PNG of the whole page

 private:
  // Sends a command; its id, or 0 when the browser no longer reads.
  int Send(const std::string& method, nlohmann::json params, bool in_session);
  // Sends a command and waits for its result, noting the events before it.
  nlohmann::json Command(const std::string& method,
                         nlohmann::json params = nlohmann::json::object(), bool in_session = true);
  // The next message, or null when none arrives by `deadline`; events are noted.
  nlohmann::json Receive(std::chrono::steady_clock::time_point deadline);

  TempDir dir_;
  pid_t pid_ = -1;
  int to_browser_ = -1;
  int from_browser_ = -1;
  std::string buffer_;
  int next_id_ = 1;
  std::string session_;
  bool loaded_ = false;  // the load event of the page opened last arrived
  Load load_;
};

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SERVICE_BROWSER_H_
