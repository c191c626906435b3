// A real `zebevi serve` (ZEBEVI_EXE) on a loopback port of the system's
// choosing, with a config file written for the test, its standard error
// (the access log) kept in a file. Stopped with SIGTERM, or killed if it
// is still running when the object goes.
#ifndef ZEBEVI_TESTS_SERVICE_SERVICE_PROCESS_H_
#define ZEBEVI_TESTS_SERVICE_SERVICE_PROCESS_H_

#include <sys/types.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace zebevi::testing {

// Test keys: the key text, and the config entry that binds it.
struct TestKey {
  std::string text;
  nlohmann::json entry;  // without "sha256", which the process fills in
};
// An internal key, a diagnostic internal key and a customer key bound to
// customer 1 (customer_group left unbound).
TestKey InternalKey();
TestKey DiagnosticKey();
TestKey CustomerKey();

class ServiceProcess {
 public:
  // `config` is the config file's JSON; "listen" and "keys" are filled in
  // (the keys' hashes from `keys`). `args` follow `zebevi serve`.
  ServiceProcess(nlohmann::json config, const std::vector<TestKey>& keys,
                 const std::vector<std::string>& args = {},
                 const std::vector<std::string>& environment = {});
  ~ServiceProcess();
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  bool started() const { return port_ != 0; }
  int port() const { return port_; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  // Sends SIGTERM without waiting.
  void SignalTerminate();
  // The exit status once it ends within `seconds`; nullopt when it did not
  // end in time or died of a signal.
  std::optional<int> WaitExit(int seconds);
  bool running();

  // What it wrote to standard error so far.
  std::vector<std::string> LogLines() const;
  std::string log() const;

 private:
  TempDir dir_;
  pid_t pid_ = -1;
  int port_ = 0;
  std::optional<int> exit_status_;
};

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SERVICE_SERVICE_PROCESS_H_
