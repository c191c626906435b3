// A real `zebevi serve` (ZEBEVI_EXE) on a loopback port of the system's
// choosing, and the clients the tests reach it with: libcurl for whole
// requests, a raw socket for what a well-behaved client would not do (stay
// idle, send one byte at a time).
#ifndef ZEBEVI_TESTS_SERVICE_SERVICE_PROCESS_H_
#define ZEBEVI_TESTS_SERVICE_SERVICE_PROCESS_H_

#include <arpa/inet.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "service/auth.h"
#include "support/test_support.h"

namespace zebevi::testing {

using Clock = std::chrono::steady_clock;

// A key's text and the config entry that binds it (without "sha256").
struct TestKey {
  std::string text;
  nlohmann::json entry;
};
inline const TestKey kInternalKey{"internal-key-0001",
                                  {{"caller", "backoffice"}, {"internal", true}}};
inline const TestKey kDiagnosticKey{
    "diagnostic-key-02", {{"caller", "support"}, {"internal", true}, {"diagnostic", true}}};
// Bound to customer 1, customer_group left unbound.
inline const TestKey kCustomerKey{"customer-key-0003", {{"caller", "portal"}, {"customer", 1}}};

// Its standard error (the access log) is kept in a file. Killed if it is
// still running when the object goes.
class ServiceProcess {
 public:
  // `config` is the config file's JSON; "listen" and "keys" are filled in.
  ServiceProcess(nlohmann::json config, const std::vector<TestKey>& keys) {
    config["listen"] = "127.0.0.1:0";
    config["keys"] = nlohmann::json::array();
    for (const TestKey& key : keys) {
      config["keys"].push_back(key.entry);
      config["keys"].back()["sha256"] = service::HexText(service::Sha256(key.text));
    }
    std::ofstream(dir_ / "config.json") << config.dump(2);
    const std::string exe = std::getenv("ZEBEVI_EXE"), path = (dir_ / "config.json").string();
    const std::string log_path = (dir_ / "stderr").string();
    pid_ = ::fork();
    if (pid_ == 0) {
      const int null = ::open("/dev/null", O_RDWR);
      ::dup2(null, STDIN_FILENO);
      ::dup2(null, STDOUT_FILENO);
      ::dup2(::open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
      ::execl(exe.c_str(), exe.c_str(), "serve", "--config", path.c_str(), nullptr);
      ::_exit(127);
    }
    // The first line says where it listens.
    for (const auto deadline = Clock::now() + std::chrono::seconds(30);
         Clock::now() < deadline && running();
         std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
      for (const std::string& line : LogLines()) {
        const nlohmann::json event = nlohmann::json::parse(line, nullptr, false);
        if (event.is_object() && event.value("event", "") == "listening") {
          const std::string address = event["address"];
          port_ = std::stoi(address.substr(address.rfind(':') + 1));
          return;
        }
      }
    }
    ADD_FAILURE() << "zebevi serve did not start: " << log();
  }
  ~ServiceProcess() {
    if (running()) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  bool started() const { return port_ != 0; }
  int port() const { return port_; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  void SignalTerminate() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
  }
  // The exit status once it ends within `seconds`; nullopt when it did not
  // end in time or died of a signal.
  std::optional<int> WaitExit(int seconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (running()) {
      if (Clock::now() > deadline) return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return exit_status_;
  }
  bool running() {
    int status = 0;
    if (pid_ <= 0 || ::waitpid(pid_, &status, WNOHANG) == 0) return pid_ > 0;
    exit_status_ = WIFEXITED(status) ? std::optional(WEXITSTATUS(status)) : std::nullopt;
    pid_ = -1;
    return false;
  }
  std::string log() const { return ReadWhole(dir_ / "stderr"); }
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::istringstream in(log());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  TempDir dir_;
  pid_t pid_ = -1;
  int port_ = 0;
  std::optional<int> exit_status_;
};

struct HttpReply {
  long status = 0;                             // 0: no answer (the connection failed or was cut)
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
  std::chrono::microseconds elapsed{0};
  nlohmann::ordered_json json() const {
    return nlohmann::ordered_json::parse(body, nullptr, false);
  }
};

// A POST of `body`, or a GET without one; `key` goes as "Authorization:
// Bearer KEY" when not empty, `headers` are "Name: value".
inline HttpReply Send(const std::string& url, const std::string& body = {},
                      const std::string& key = {}, const std::vector<std::string>& headers = {}) {
  HttpReply reply;
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  // The service answers Expect at once; the tests need not wait for it.
  curl_slist* list = curl_slist_append(nullptr, "Expect:");
  if (!key.empty()) list = curl_slist_append(list, ("Authorization: Bearer " + key).c_str());
  for (const std::string& header : headers) list = curl_slist_append(list, header.c_str());
  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> owned(list, curl_slist_free_all);
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  if (!body.empty()) {
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  }
  curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, list);
  curl_easy_setopt(
      curl.get(), CURLOPT_WRITEFUNCTION,
      +[](char* data, std::size_t size, std::size_t count, void* target) {
        static_cast<std::string*>(target)->append(data, size * count);
        return size * count;
      });
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &reply.body);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 60L);
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  const auto start = Clock::now();
  if (curl_easy_perform(curl.get()) == CURLE_OK) {
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &reply.status);
    for (curl_header* h = nullptr; (h = curl_easy_nextheader(curl.get(), CURLH_HEADER, -1, h));) {
      std::string name = h->name;
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      reply.headers[name] = h->value;
    }
  }
  reply.elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  return reply;
}
inline HttpReply Get(const std::string& url, const std::string& key = {}) {
  return Send(url, {}, key);
}

// A loopback TCP connection driven byte by byte.
class RawConnection {
 public:
  explicit RawConnection(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~RawConnection() {
    if (fd_ >= 0) ::close(fd_);
  }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool connected() const { return fd_ >= 0; }
  // False once the server has closed the connection.
  bool Send(std::string_view bytes) {
    return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
  }
  // What arrives within `timeout`: the first piece, else everything until
  // the server closes the connection (closed() then says so).
  std::string Read(std::chrono::milliseconds timeout, bool first_piece = false) {
    std::string received;
    const auto deadline = Clock::now() + timeout;
    for (auto left = timeout; left.count() > 0 && !closed_;
         left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())) {
      pollfd wait{fd_, POLLIN, 0};
      if (::poll(&wait, 1, static_cast<int>(left.count())) <= 0) break;
      char chunk[4096];
      const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
      closed_ = got <= 0;
      if (got > 0) received.append(chunk, static_cast<std::size_t>(got));
      if (first_piece && got > 0) break;
    }
    return received;
  }
  bool closed() const { return closed_; }
  bool ClosedWithin(std::chrono::milliseconds timeout) { return Read(timeout), closed_; }

 private:
  int fd_ = -1;
  bool closed_ = false;
};

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SERVICE_SERVICE_PROCESS_H_
