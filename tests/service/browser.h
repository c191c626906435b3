// Debian's chromium, headless, driven through its DevTools protocol over a
// pipe (--remote-debugging-pipe: the protocol's JSON messages, each ended
// by a NUL byte, on file descriptors 3 and 4), so the tests need no
// WebSocket client and no package beyond the browser. One tab, emulating a
// screen of the width asked; what the page writes to the console and the
// status of the document it loads are kept.
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
  // Starts the browser; a test failure when it is missing or does not answer.
  Browser();
  ~Browser();
  Browser(const Browser&) = delete;
  Browser& operator=(const Browser&) = delete;

  bool started() const { return !session_.empty(); }

  // A screen `width` CSS pixels wide (a phone's below 600, with touch and
  // the viewport meta tag honoured) and `height` high.
  void Resize(int width, int height);

  struct Load {
    int status = 0;                    // of the document; 0 when none arrived
    std::vector<std::string> console;  // console calls, uncaught exceptions, log errors
  };
  // Opens `url` and waits for its load event.
  Load Open(const std::string& url);

  // The value of a JavaScript expression (made JSON by the page).
  nlohmann::json Evaluate(const std::string& expression);

  // A PNG of the whole page, written to `path`.
  void Screenshot(const std::filesystem::path& path);

 private:
  // Sends a command; its id, or 0 when the browser no longer reads.
  int Send(const std::string& method, nlohmann::json params, bool in_session);
  // Sends a command and waits for its result, noting the events before it.
  nlohmann::json Command(const std::string& method,
                         nlohmann::json params = nlohmann::json::object(), bool in_session = true);
  // The next message, or null when none arrives by `deadline`.
  nlohmann::json Receive(std::chrono::steady_clock::time_point deadline);
  void Note(const nlohmann::json& event);

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
