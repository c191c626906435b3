#include "service/service_process.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "service/auth.h"

namespace zebevi::testing {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

ServiceProcess::ServiceProcess(Json config, const std::vector<TestKey>& keys) {
  config["listen"] = "127.0.0.1:0";
  config["keys"] = Json::array();
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
      const Json event = Json::parse(line, nullptr, false);
      if (event.is_object() && event.value("event", "") == "listening") {
        const std::string address = event["address"];
        port_ = std::stoi(address.substr(address.rfind(':') + 1));
        return;
      }
    }
  }
  ADD_FAILURE() << "zebevi serve did not start: " << log();
}

ServiceProcess::~ServiceProcess() {
  if (running()) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

bool ServiceProcess::running() {
  int status = 0;
  if (pid_ <= 0 || ::waitpid(pid_, &status, WNOHANG) == 0) return pid_ > 0;
  exit_status_ = WIFEXITED(status) ? std::optional(WEXITSTATUS(status)) : std::nullopt;
  pid_ = -1;
  return false;
}

void ServiceProcess::SignalTerminate() {
  if (pid_ > 0) ::kill(pid_, SIGTERM);
}

std::optional<int> ServiceProcess::WaitExit(int seconds) {
  const auto deadline = Clock::now() + std::chrono::seconds(seconds);
  while (running()) {
    if (Clock::now() > deadline) return std::nullopt;
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

nlohmann::ordered_json HttpReply::json() const {
  return nlohmann::ordered_json::parse(body, nullptr, /*allow_exceptions=*/false);
}

namespace {

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

std::size_t CollectHeader(char* data, std::size_t size, std::size_t count, void* target) {
  const std::string line(data, size * count);
  if (const std::size_t colon = line.find(':'); colon != std::string::npos) {
    std::string name = line.substr(0, colon);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::size_t start = line.find_first_not_of(' ', colon + 1);
    (*static_cast<std::map<std::string, std::string>*>(target))[name] =
        line.substr(start, line.find_last_not_of("\r\n") + 1 - start);
  }
  return size * count;
}

}  // namespace

HttpReply Send(const std::string& url, const std::string& body, const std::string& key,
               const std::vector<std::string>& headers) {
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
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &reply.body);
  curl_easy_setopt(curl.get(), CURLOPT_HEADERFUNCTION, CollectHeader);
  curl_easy_setopt(curl.get(), CURLOPT_HEADERDATA, &reply.headers);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 60L);
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  const auto start = Clock::now();
  if (curl_easy_perform(curl.get()) == CURLE_OK) {
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &reply.status);
  }
  reply.elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  return reply;
}

RawConnection::RawConnection(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

RawConnection::~RawConnection() {
  if (fd_ >= 0) ::close(fd_);
}

bool RawConnection::Send(std::string_view bytes) {
  return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
         static_cast<ssize_t>(bytes.size());
}

std::string RawConnection::Read(std::chrono::milliseconds timeout, bool first_piece) {
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

}  // namespace zebevi::testing
