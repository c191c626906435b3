#include "service/browser.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <thread>

namespace zebevi::testing {
namespace {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr auto kAnswerTime = std::chrono::seconds(30);

std::string Base64Decoded(const std::string& text) {
  std::string bytes(text.size() / 4 * 3, '\0');
  const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                     reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()));
  // The decoder counts the padding's bytes too.
  const std::size_t padding = text.size() - (text.find_last_not_of('=') + 1);
  bytes.resize(length < 0 ? 0 : static_cast<std::size_t>(length) - padding);
  return bytes;
}

}  // namespace

Browser::Browser() {
  const char* chromium = "/usr/bin/chromium";
  int in[2], out[2];
  if (::access(chromium, X_OK) != 0 || ::pipe2(in, O_CLOEXEC) != 0 ||
      ::pipe2(out, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "chromium is missing: ZEBEVI_WITH_BROWSER=1 scripts/install-deps installs it";
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

Browser::~Browser() {
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

int Browser::Send(const std::string& method, Json params, bool in_session) {
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

Json Browser::Command(const std::string& method, Json params, bool in_session) {
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

Json Browser::Receive(Clock::time_point deadline) {
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

void Browser::Resize(int width, int height) {
  const bool phone = width < 600;
  Command("Emulation.setDeviceMetricsOverride",
          {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", phone}});
  Command("Emulation.setTouchEmulationEnabled", {{"enabled", phone}});
}

Browser::Load Browser::Open(const std::string& url) {
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

Json Browser::Evaluate(const std::string& expression) {
  const Json result =
      Command("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}});
  const bool thrown = result.contains("exceptionDetails");
  EXPECT_FALSE(thrown) << expression << ": " << result.dump();
  return thrown ? Json() : result.value("result", Json::object()).value("value", Json());
}

void Browser::Screenshot(const std::filesystem::path& path) {
  const Json size = Command("Page.getLayoutMetrics").value("cssContentSize", Json::object());
  Json clip{{"x", 0}, {"y", 0}, {"scale", 1}};
  for (const char* side : {"width", "height"}) clip[side] = size.value(side, 0.0);
  const Json shot = Command("Page.captureScreenshot",
                            {{"format", "png"}, {"captureBeyondViewport", true}, {"clip", clip}});
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << Base64Decoded(shot.value("data", ""));
}

}  // namespace zebevi::testing
