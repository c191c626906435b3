// The tests' HTTP clients: libcurl for whole requests, and a raw loopback
// socket for what a well-behaved client would not do (stay idle, send one
// byte a second).
#ifndef ZEBEVI_TESTS_SERVICE_HTTP_CLIENT_H_
#define ZEBEVI_TESTS_SERVICE_HTTP_CLIENT_H_

#include <chrono>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace zebevi::testing {

struct HttpReply {
  long status = 0;                             // 0: no answer (the connection failed or was cut)
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
  std::chrono::microseconds elapsed{0};

  nlohmann::ordered_json json() const;
};

// `key` is sent as "Authorization: Bearer KEY" when not empty; `headers`
// are "Name: value".
HttpReply Send(const std::string& method, const std::string& url, const std::string& body = {},
               const std::string& key = {}, const std::vector<std::string>& headers = {});
HttpReply Get(const std::string& url, const std::string& key = {});
HttpReply Post(const std::string& url, const std::string& body, const std::string& key = {});

// A loopback TCP connection driven byte by byte.
class RawConnection {
 public:
  explicit RawConnection(int port);
  ~RawConnection();
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool connected() const { return fd_ >= 0; }
  // False once the server has closed the connection.
  bool Send(std::string_view bytes);
  // Everything the server sends until it closes or `timeout` passes.
  std::string ReadUntilClosed(std::chrono::milliseconds timeout);
  // What arrives first (empty when nothing does within `timeout`).
  std::string ReadSome(std::chrono::milliseconds timeout);
  // Whether the server closed the connection within `timeout`.
  bool ClosedWithin(std::chrono::milliseconds timeout);

 private:
  // Appends what arrives to `received` (up to the first piece when
  // `until_data`); true when the server closed within `timeout`.
  bool Receive(std::chrono::milliseconds timeout, std::string& received, bool until_data);

  int fd_ = -1;
};

}  // namespace zebevi::testing

#endif  // ZEBEVI_TESTS_SERVICE_HTTP_CLIENT_H_
