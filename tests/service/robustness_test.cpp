// What a server on the open internet must withstand: oversized requests, slow
// and idle clients, many idle keep-alive connections, a SIGTERM mid-request.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "service/http_client.h"
#include "service/service_process.h"
#include "support/engines.h"

namespace zebevi::testing {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

class ServiceRobustness : public ::testing::Test {
 protected:
  void Start(const Json& limits = Json::object(), unsigned threads = 2) {
    service_.emplace(Json{{"db", ReferenceOn(Engine::kSqlite).connection_string},
                          {"threads", threads},
                          {"limits", limits}},
                     std::vector<TestKey>{InternalKey()});
    ASSERT_TRUE(service_->started());
  }

  std::optional<ServiceProcess> service_;
};

TEST_F(ServiceRobustness, RefusesOversizedRequests) {
  Start({{"body_bytes", 1024}, {"target_bytes", 256}, {"header_bytes", 512}});
  const std::string call = service_->url("/v1/call/mConverte_Decimal_Hora");
  const std::string key = InternalKey().text;
  struct Case {
    std::string name;
    std::string method;
    std::string url;
    std::string body;
    std::vector<std::string> headers;
    long status;
  };
  const std::string healthz = service_->url("/healthz");
  const std::vector<Case> cases{
      {"body at the limit", "POST", call, "{}" + std::string(1022, ' '), {}, 200},
      {"body over the limit", "POST", call, "{}" + std::string(1023, ' '), {}, 413},
      {"huge body", "POST", call, std::string(1 << 20, ' '), {}, 413},
      {"long target", "GET", healthz + "?" + std::string(300, 'a'), "", {}, 414},
      {"large header", "GET", healthz, "", {"X-Big: " + std::string(600, 'b')}, 431},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Send(c.method, c.url, c.body, key, c.headers).status, c.status);
  }
  // The server still serves.
  EXPECT_EQ(Get(service_->url("/healthz")).status, 200);
}

TEST_F(ServiceRobustness, CutsOffASlowClientWithoutHoldingAWorker) {
  Start({{"request_timeout_ms", 1500}}, /*threads=*/1);
  RawConnection slow(service_->port());
  ASSERT_TRUE(slow.connected());
  const std::string request = "GET /readyz HTTP/1.1\r\nHost: test\r\n\r\n";
  std::string received;
  const auto start = std::chrono::steady_clock::now();
  for (const char byte : request) {
    if (!slow.Send(std::string_view(&byte, 1))) break;
    // The one worker stays free for everybody else meanwhile.
    const HttpReply other = Get(service_->url("/readyz"));
    EXPECT_EQ(other.status, 200);
    EXPECT_LT(other.elapsed, 500ms);
    received += slow.ReadSome(300ms);
    if (!received.empty() || std::chrono::steady_clock::now() - start > 5s) break;
  }
  received += slow.ReadUntilClosed(2s);
  EXPECT_EQ(received.rfind("HTTP/1.1 408", 0), 0u) << received;
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

TEST_F(ServiceRobustness, ClosesIdleConnections) {
  Start({{"idle_timeout_ms", 300}});
  RawConnection silent(service_->port());
  EXPECT_TRUE(silent.ClosedWithin(2s));
  RawConnection kept(service_->port());
  ASSERT_TRUE(kept.Send("GET /healthz HTTP/1.1\r\nHost: test\r\n\r\n"));
  EXPECT_EQ(kept.ReadSome(2s).rfind("HTTP/1.1 200", 0), 0u);
  EXPECT_TRUE(kept.ClosedWithin(2s));
}

TEST_F(ServiceRobustness, ServesANewClientPastAThousandIdleKeepAliveConnections) {
  Start();
  std::vector<std::unique_ptr<RawConnection>> idle;
  for (int i = 0; i < 1000; ++i) {
    idle.push_back(std::make_unique<RawConnection>(service_->port()));
    ASSERT_TRUE(idle.back()->connected()) << i;
    ASSERT_TRUE(idle.back()->Send("GET /healthz HTTP/1.1\r\nHost: test\r\n\r\n"));
  }
  for (auto& connection : idle) {
    ASSERT_EQ(connection->ReadSome(5s).rfind("HTTP/1.1 200", 0), 0u);
  }
  const HttpReply fresh = Post(service_->url("/v1/call/mConverte_Decimal_Hora"),
                               R"({"invntValor": 3600})", InternalKey().text);
  EXPECT_EQ(fresh.status, 200);
  EXPECT_LT(fresh.elapsed, 100ms);
  const HttpReply metrics = Get(service_->url("/metrics"));
  EXPECT_NE(metrics.body.find("zebevi_http_connections 100"), std::string::npos);
}

TEST_F(ServiceRobustness, DrainsOnSigtermThenExitsZero) {
  Start({{"drain_timeout_ms", 10'000}});
  RawConnection idle(service_->port());
  // A database probe leaves a session in the pool, for the stop to close.
  ASSERT_TRUE(idle.Send("GET /readyz HTTP/1.1\r\nHost: test\r\n\r\n"));
  ASSERT_FALSE(idle.ReadSome(2s).empty());
  const std::string body = R"({"invntValor": 7200})";
  RawConnection busy(service_->port());
  ASSERT_TRUE(
      busy.Send("POST /v1/call/mConverte_Decimal_Hora HTTP/1.1\r\nHost: test\r\n"
                "Authorization: Bearer " +
                InternalKey().text + "\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\n\r\n" + body.substr(0, 5)));
  std::this_thread::sleep_for(100ms);

  service_->SignalTerminate();
  EXPECT_TRUE(idle.ClosedWithin(2s));
  std::this_thread::sleep_for(200ms);
  EXPECT_FALSE(RawConnection(service_->port()).connected()) << "still accepting";
  EXPECT_TRUE(service_->running()) << "did not wait for the request in flight";

  ASSERT_TRUE(busy.Send(body.substr(5)));
  const std::string answer = busy.ReadUntilClosed(5s);
  EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), 0u) << answer;
  EXPECT_NE(answer.find("Connection: close"), std::string::npos) << answer;
  EXPECT_NE(answer.find("\"02:00\""), std::string::npos) << answer;
  EXPECT_EQ(service_->WaitExit(10), 0);
  EXPECT_NE(
      service_->log().find("\"event\":\"stopped\",\"cut_off\":\"false\",\"sessions_closed\":\"1\""),
      std::string::npos)
      << service_->log();
}

TEST_F(ServiceRobustness, StopsWaitingForARequestAtTheDrainTimeout) {
  Start({{"drain_timeout_ms", 300}, {"request_timeout_ms", 60'000}});
  RawConnection stuck(service_->port());
  ASSERT_TRUE(stuck.Send("GET /heal"));
  std::this_thread::sleep_for(100ms);
  const auto start = std::chrono::steady_clock::now();
  service_->SignalTerminate();
  EXPECT_EQ(service_->WaitExit(10), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_NE(service_->log().find("\"cut_off\":\"true\""), std::string::npos) << service_->log();
}

}  // namespace
}  // namespace zebevi::testing
