#include "service/service_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "service/auth.h"

namespace zebevi::testing {

using Json = nlohmann::json;

TestKey InternalKey() {
  return {"internal-key-0001", {{"caller", "backoffice"}, {"internal", true}}};
}
TestKey DiagnosticKey() {
  return {"diagnostic-key-02", {{"caller", "support"}, {"internal", true}, {"diagnostic", true}}};
}
TestKey CustomerKey() { return {"customer-key-0003", {{"caller", "portal"}, {"customer", 1}}}; }

ServiceProcess::ServiceProcess(Json config, const std::vector<TestKey>& keys,
                               const std::vector<std::string>& args,
                               const std::vector<std::string>& environment) {
  config["listen"] = "127.0.0.1:0";
  config["keys"] = Json::array();
  for (const TestKey& key : keys) {
    Json entry = key.entry;
    entry["sha256"] = service::HexText(service::Sha256(key.text));
    config["keys"].push_back(entry);
  }
  std::ofstream(dir_ / "config.json") << config.dump(2);
  std::vector<std::string> argv{std::getenv("ZEBEVI_EXE"), "serve", "--config",
                                (dir_ / "config.json").string()};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::string log_path = (dir_ / "stderr").string();
  pid_ = ::fork();
  if (pid_ == 0) {
    const int err = ::open(log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    for (const std::string& assignment : environment)
      ::putenv(const_cast<char*>(assignment.c_str()));
    std::vector<char*> raw;
    for (const std::string& arg : argv) raw.push_back(const_cast<char*>(arg.c_str()));
    raw.push_back(nullptr);
    ::execv(raw[0], raw.data());
    ::_exit(127);
  }
  // The first line says where it listens.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline && running()) {
    for (const std::string& line : LogLines()) {
      const Json event = Json::parse(line, nullptr, false);
      if (event.is_object() && event.value("event", "") == "listening") {
        const std::string address = event["address"];
        port_ = std::stoi(address.substr(address.rfind(':') + 1));
        return;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ADD_FAILURE() << "zebevi serve did not start: " << log();
}

ServiceProcess::~ServiceProcess() {
  if (pid_ > 0 && running()) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

bool ServiceProcess::running() {
  if (pid_ <= 0) return false;
  int status = 0;
  const pid_t done = ::waitpid(pid_, &status, WNOHANG);
  if (done == 0) return true;
  exit_status_ = WIFEXITED(status) ? std::optional(WEXITSTATUS(status)) : std::nullopt;
  pid_ = -1;
  return false;
}

void ServiceProcess::SignalTerminate() {
  if (pid_ > 0) ::kill(pid_, SIGTERM);
}

std::optional<int> ServiceProcess::WaitExit(int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (running()) {
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return exit_status_;
}

std::string ServiceProcess::log() const { return ReadWhole(dir_ / "stderr"); }

std::vector<std::string> ServiceProcess::LogLines() const {
  std::vector<std::string> lines;
  std::istringstream in(log());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace zebevi::testing
