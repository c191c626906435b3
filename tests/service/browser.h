// Debian's chromium, headless, driven through its DevTools protocol over a
// pipe (--remote-debugging-pipe: JSON messages ended by a NUL byte, on file
// descriptors 3 and 4), so the tests need no WebSocket client. One tab; what
// the page writes to the console and the status of its document are kept.
#ifndef ZEBEVI_TESTS_SERVICE_BROWSER_H_
#define ZEBEVI_TESTS_SERVICE_BROWSER_H_

#include <fcntl.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "support/test_support.h"

namespace zebevi::testing {

class Browser {
  using Json = nlohmann::json;
  using Clock = std::chrono::steady_clock;
  static constexpr auto kAnswerTime = std::chrono::seconds(30);

 public:
  struct Load {
    int status = 0;                    // of the document; 0 when none arrived
    std::vector<std::string> console;  // console calls, uncaught exceptions, log errors
  };

  // A test failure when the browser is missing or does not answer.
  Browser() {
    const char* chromium = "/usr/bin/chromium";
    int in[2], out[2];
    if (::access(chromium, X_OK) != 0 || ::pipe2(in, O_CLOEXEC) != 0 ||
        ::pipe2(out, O_CLOEXEC) != 0) {
      ADD_FAILURE()
          << "chromium is missing: ZEBEVI_WITH_BROWSER=1 scripts/install-deps installs it";
      return;
    }
    const std::string profile = "--user-data-dir=" + (dir_ / "profile").string();
    const std::string log = (dir_ / "browser.log").string();
    pid_ = ::fork();
    if (pid_ == 0) {
      // The protocol's descriptors: 3 to read commands, 4 to write answers
      // (dup2 onto itself would keep close-on-exec).
      ::fcntl(in[0], F_SETFD, 0);
      ::dup2(in[0], 3);
      ::dup2(out[1], 4);
      const int err = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(::open("/dev/null", O_RDWR), STDIN_FILENO);
      ::dup2(err, STDOUT_FILENO);
      ::dup2(err, STDERR_FILENO);
      ::execl(chromium, chromium, profile.c_str(), "--headless", "--no-sandbox", "--disable-gpu",
              "--disable-dev-shm-usage", "--no-first-run", "--disable-background-networking",
              "--disable-component-update", "--disable-sync", "--disable-extensions",
              "--hide-scrollbars", "--remote-debugging-pipe", "about:blank", nullptr);
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    to_browser_ = in[1];
    from_browser_ = out[0];
    const Json target = Command("Target.createTarget", {{"url", "about:blank"}}, false);
    session_ = Command("Target.attachToTarget",
                       {{"targetId", target.value("targetId", "")}, {"flatten", true}}, false)
                   .value("sessionId", "");
    if (session_.empty()) {
      ADD_FAILURE() << "chromium did not open a tab";
      return;
    }
    for (const char* domain : {"Page.enable", "Runtime.enable", "Log.enable", "Network.enable"}) {
      Command(domain);
    }
  }

  ~Browser() {
    if (pid_ > 0) {
      Send("Browser.close", Json::object(), false);
      const auto deadline = Clock::now() + std::chrono::seconds(10);
      while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
          ::kill(pid_, SIGKILL);
          ::waitpid(pid_, nullptr, 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
    ::close(to_browser_);
    ::close(from_browser_);
  }

  bool started() const { return !session_.empty(); }

  // A screen `width` CSS pixels wide (a phone's below 600, with touch and
  // the viewport meta tag honoured) and `height` high.
  void Resize(int width, int height) {
    const bool phone = width < 600;
    Command("Emulation.setDeviceMetricsOverride",
            {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", phone}});
    Command("Emulation.setTouchEmulationEnabled", {{"enabled", phone}});
  }

  // Waits for the load event.
  Load Open(const std::string& url) {
    load_ = Load{};
    loaded_ = false;
    Command("Page.navigate", {{"url", url}});
    for (const auto deadline = Clock::now() + kAnswerTime; !loaded_;) {
      if (Receive(deadline).is_null()) {
        ADD_FAILURE() << "the page did not load: " << url;
        break;
      }
    }
    // Messages written while the load event is handled arrive right after it.
    Evaluate("0");
    return load_;
  }

  // The value of a JavaScript expression (made JSON by the page).
  Json Evaluate(const std::string& expression) {
    const Json result =
        Command("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}});
    const bool thrown = result.contains("exceptionDetails");
    EXPECT_FALSE(thrown) << expression << ": " << result.dump();
    return thrown ? Json() : result.value("result", Json::object()).value("value", Json());
  }

  // A PNG of the whole page.
  void Screenshot(const std::filesystem::path& path) {
    const Json size = Command("Page.getLayoutMetrics").value("cssContentSize", Json::object());
    Json clip{{"x", 0}, {"y", 0}, {"scale", 1}};
    for (const char* side : {"width", "height"}) clip[side] = size.value(side, 0.0);
    const std::string data =
        Command("Page.captureScreenshot",
                {{"format", "png"}, {"captureBeyondViewport", true}, {"clip", clip}})
            .value("data", "");
    std::string bytes(data.size() / 4 * 3, '\0');
    const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                       reinterpret_cast<const unsigned char*>(data.data()),
                                       static_cast<int>(data.size()));
    // The decoder counts the padding's bytes too.
    const std::size_t padding = data.size() - (data.find_last_not_of('=') + 1);
    bytes.resize(length < 0 ? 0 : static_cast<std::size_t>(length) - padding);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }

 private:
  // Sends a command; its id, or 0 when the browser no longer reads.
  int Send(const std::string& method, Json params, bool in_session) {
    const int id = next_id_++;
    Json message{{"id", id}, {"method", method}, {"params", std::move(params)}};
    if (in_session) message["sessionId"] = session_;
    std::string bytes = message.dump();
    bytes.push_back('\0');
    for (std::size_t sent = 0; sent < bytes.size();) {
      const ssize_t n = ::write(to_browser_, bytes.data() + sent, bytes.size() - sent);
      if (n <= 0) return 0;
      sent += static_cast<std::size_t>(n);
    }
    return id;
  }

  // Sends a command and waits for its result, noting the events before it.
  Json Command(const std::string& method, Json params = Json::object(), bool in_session = true) {
    const int id = Send(method, std::move(params), in_session);
    const auto deadline = Clock::now() + kAnswerTime;
    for (Json reply; id != 0 && !(reply = Receive(deadline)).is_null();) {
      if (reply.value("id", 0) != id) continue;
      if (reply.contains("error")) ADD_FAILURE() << method << ": " << reply["error"].dump();
      return reply.value("result", Json::object());
    }
    ADD_FAILURE() << "chromium did not answer " << method;
    return Json::object();
  }

  // The next message, or null when none arrives by `deadline`; events are noted.
  Json Receive(Clock::time_point deadline) {
    while (buffer_.find('\0') == std::string::npos) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      pollfd ready{from_browser_, POLLIN, 0};
      if (left.count() <= 0) return Json();
      if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[65536];
      const ssize_t n = ::read(from_browser_, chunk, sizeof chunk);
      if (n <= 0) return Json();
      buffer_.append(chunk, static_cast<std::size_t>(n));
    }
    const std::size_t end = buffer_.find('\0');
    Json message = Json::parse(buffer_.substr(0, end), nullptr, false);
    buffer_.erase(0, end + 1);
    if (message.is_discarded()) return Json::object();
    const std::string event = message.value("method", "");
    const Json params = message.value("params", Json::object());
    if (event == "Runtime.consoleAPICalled") {
      load_.console.push_back("console." + params.value("type", "") + ": " + params["args"].dump());
    } else if (event == "Runtime.exceptionThrown") {
      load_.console.push_back("exception: " + params["exceptionDetails"].dump());
    } else if (event == "Log.entryAdded" && params["entry"].value("level", "") != "verbose") {
      load_.console.push_back("log: " + params["entry"].value("text", ""));
    } else if (event == "Network.responseReceived" && params.value("type", "") == "Document") {
      load_.status = params["response"].value("status", 0);
    }
    loaded_ |= event == "Page.loadEventFired";
    return message;
  }

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
