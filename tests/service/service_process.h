// A real `zebevi serve` (ZEBEVI_EXE) on a loopback port of the system's
// choosing, and the clients the tests reach it with: libcurl for whole
// requests, a raw socket for what a well-behaved client would not do (stay
// idle, send one byte at a time).
#ifndef ZEBEVI_TESTS_SERVICE_SERVICE_PROCESS_H_
#define ZEBEVI_TESTS_SERVICE_SERVICE_PROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_support.h"

namespace zebevi::testing {

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
  ServiceProcess(nlohmann::json config, const std::vector<TestKey>& keys);
  ~ServiceProcess();

  bool started() const { return port_ != 0; }
  int port() const { return port_; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  void SignalTerminate();  // SIGTERM, without waiting
  // The exit status once it ends within `seconds`; nullopt when it did not
  // end in time or died of a signal.
  std::optional<int> WaitExit(int seconds);
  bool running();
  std::string log() const;
  std::vector<std::string> LogLines() const;

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
  nlohmann::ordered_json json() const;
};
// A POST of `body`, or a GET without one; `key` goes as "Authorization:
// Bearer KEY" when not empty, `headers` are "Name: value".
HttpReply Send(const std::string& url, const std::string& body = {}, const std::string& key = {},
               const std::vector<std::string>& headers = {});
inline HttpReply Get(const std::string& url, const std::string& key = {}) {
  return Send(url, {}, key);
}

// A loopback TCP connection driven byte by byte.
class RawConnection {
 public:
  explicit RawConnection(int port);
  ~RawConnection();
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool connected() const { return fd_ >= 0; }
  bool Send(std::string_view bytes);  // false once the server has closed the connection
  // What arrives within `timeout`: the first piece, else everything until
  // the server closes the connection (closed() then says so).
  std::string Read(std::chrono::milliseconds timeout, bool first_piece = false);
  bool closed() const { return closed_; }
  bool ClosedWithin(std::chrono::milliseconds timeout) { return Read(timeout), closed_; }

 private:
  int fd_ = -1;
  bool closed_ = false;
};

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SERVICE_SERVICE_PROCESS_H_
