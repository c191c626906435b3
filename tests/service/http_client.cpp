#include "service/http_client.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace zebevi::testing {
namespace {

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

std::size_t CollectHeader(char* data, std::size_t size, std::size_t count, void* target) {
  const std::string line(data, size * count);
  const std::size_t colon = line.find(':');
  if (colon != std::string::npos) {
    std::string name = line.substr(0, colon);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string value = line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(' '));
    value.erase(value.find_last_not_of("\r\n") + 1);
    (*static_cast<std::map<std::string, std::string>*>(target))[name] = value;
  }
  return size * count;
}

}  // namespace

nlohmann::ordered_json HttpReply::json() const {
  return nlohmann::ordered_json::parse(body, nullptr, /*allow_exceptions=*/false);
}

HttpReply Send(const std::string& method, const std::string& url, const std::string& body,
               const std::string& key, const std::vector<std::string>& headers_given) {
  HttpReply reply;
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  // The service answers Expect at once; the tests need not wait for it.
  curl_slist* raw_headers = curl_slist_append(nullptr, "Expect:");
  if (!key.empty())
    raw_headers = curl_slist_append(raw_headers, ("Authorization: Bearer " + key).c_str());
  for (const std::string& header : headers_given)
    raw_headers = curl_slist_append(raw_headers, header.c_str());
  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(raw_headers,
                                                                      curl_slist_free_all);
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_CUSTOMREQUEST, method.c_str());
  if (method == "POST") {
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  }
  curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &reply.body);
  curl_easy_setopt(curl.get(), CURLOPT_HEADERFUNCTION, CollectHeader);
  curl_easy_setopt(curl.get(), CURLOPT_HEADERDATA, &reply.headers);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 60L);
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  const auto start = std::chrono::steady_clock::now();
  if (curl_easy_perform(curl.get()) == CURLE_OK) {
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &reply.status);
  }
  reply.elapsed = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  return reply;
}

HttpReply Get(const std::string& url, const std::string& key) { return Send("GET", url, "", key); }

HttpReply Post(const std::string& url, const std::string& body, const std::string& key) {
  return Send("POST", url, body, key);
}

RawConnection::RawConnection(int port) {
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
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

bool RawConnection::Receive(std::chrono::milliseconds timeout, std::string& received,
                            bool until_data) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd wait{fd_, POLLIN, 0};
    if (::poll(&wait, 1, static_cast<int>(left.count())) <= 0) return false;
    char chunk[4096];
    const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
    if (got <= 0) return true;
    received.append(chunk, static_cast<std::size_t>(got));
    if (until_data) return false;
  }
}

std::string RawConnection::ReadUntilClosed(std::chrono::milliseconds timeout) {
  std::string received;
  Receive(timeout, received, false);
  return received;
}

std::string RawConnection::ReadSome(std::chrono::milliseconds timeout) {
  std::string received;
  Receive(timeout, received, /*until_data=*/true);
  return received;
}

bool RawConnection::ClosedWithin(std::chrono::milliseconds timeout) {
  std::string ignored;
  return Receive(timeout, ignored, false);
}

}  // namespace zebevi::testing
