// What a server on the open internet must withstand: oversized requests, slow
// and idle clients, many idle keep-alive connections, a SIGTERM mid-request.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "service/service_process.h"
#include "support/engines.h"

namespace zebevi::testing {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;

const std::string kHealth = "GET /healthz HTTP/1.1\r\nHost: test\r\n\r\n";

class ServiceRobustness : public ::testing::Test {
 protected:
  void Start(const Json& limits = Json::object(), unsigned threads = 2) {
    service_.emplace(Json{{"db", ReferenceOn(Engine::kSqlite).connection_string},
                          {"threads", threads},
                          {"limits", limits}},
                     std::vector<TestKey>{kInternalKey});
    ASSERT_TRUE(service_->started());
  }

  std::optional<ServiceProcess> service_;
};

TEST_F(ServiceRobustness, RefusesOversizedRequests) {
  Start({{"body_bytes", 1024}, {"target_bytes", 256}, {"header_bytes", 512}});
  const std::string call = service_->url("/v1/call/mConverte_Decimal_Hora");
  const std::string healthz = service_->url("/healthz");
  for (const auto& [name, url, body, header, status] :
       std::vector<std::tuple<std::string, std::string, std::string, std::string, long>>{
           {"body at the limit", call, "{}" + std::string(1022, ' '), "X: 1", 200},
           {"body over the limit", call, "{}" + std::string(1023, ' '), "X: 1", 413},
           {"huge body", call, std::string(1 << 20, ' '), "X: 1", 413},
           {"long target", healthz + "?" + std::string(300, 'a'), "", "X: 1", 414},
           {"large header", healthz, "", "X-Big: " + std::string(600, 'b'), 431},
           {"still serving", healthz, "", "X: 1", 200}}) {
    EXPECT_EQ(Send(url, body, kInternalKey.text, {header}).status, status) << name;
  }
}

TEST_F(ServiceRobustness, CutsOffASlowClientWithoutHoldingAWorker) {
  Start({{"request_timeout_ms", 1500}}, /*threads=*/1);
  RawConnection slow(service_->port());
  std::string received;
  const auto start = std::chrono::steady_clock::now();
  for (const char byte : std::string("GET /readyz HTTP/1.1\r\nHost: test\r\n\r\n")) {
    if (!slow.Send(std::string_view(&byte, 1))) break;
    // The one worker stays free for everybody else meanwhile.
    const HttpReply other = Get(service_->url("/readyz"));
    EXPECT_EQ(other.status, 200);
    EXPECT_LT(other.elapsed, 500ms);
    received += slow.Read(300ms, true);
    if (!received.empty() || std::chrono::steady_clock::now() - start > 5s) break;
  }
  received += slow.Read(2s);
  EXPECT_EQ(received.rfind("HTTP/1.1 408", 0), 0u) << received;
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

TEST_F(ServiceRobustness, ClosesIdleConnections) {
  Start({{"idle_timeout_ms", 300}});
  EXPECT_TRUE(RawConnection(service_->port()).ClosedWithin(2s));
  RawConnection kept(service_->port());
  ASSERT_TRUE(kept.Send(kHealth));
  EXPECT_EQ(kept.Read(2s, true).rfind("HTTP/1.1 200", 0), 0u);
  EXPECT_TRUE(kept.ClosedWithin(2s));
}

TEST_F(ServiceRobustness, ServesANewClientPastAThousandIdleKeepAliveConnections) {
  Start();
  std::vector<std::unique_ptr<RawConnection>> idle;
  for (int i = 0; i < 1000; ++i) {
    idle.push_back(std::make_unique<RawConnection>(service_->port()));
    ASSERT_TRUE(idle.back()->Send(kHealth)) << i;
  }
  for (auto& connection : idle) ASSERT_EQ(connection->Read(5s, true).rfind("HTTP/1.1 200", 0), 0u);
  const HttpReply fresh = Send(service_->url("/v1/call/mConverte_Decimal_Hora"),
                               R"({"invntValor": 3600})", kInternalKey.text);
  EXPECT_EQ(fresh.status, 200);
  EXPECT_LT(fresh.elapsed, 100ms);
  EXPECT_NE(Get(service_->url("/metrics")).body.find("zebevi_http_connections 100"),
            std::string::npos);
}

TEST_F(ServiceRobustness, DrainsOnSigtermThenExitsZero) {
  Start({{"drain_timeout_ms", 10'000}});
  RawConnection idle(service_->port());
  // A database probe leaves a session in the pool, for the stop to close.
  ASSERT_TRUE(idle.Send("GET /readyz HTTP/1.1\r\nHost: test\r\n\r\n"));
  ASSERT_FALSE(idle.Read(2s, true).empty());
  const std::string body = R"({"invntValor": 7200})";
  RawConnection busy(service_->port());
  ASSERT_TRUE(
      busy.Send("POST /v1/call/mConverte_Decimal_Hora HTTP/1.1\r\nHost: test\r\n"
                "Authorization: Bearer " +
                kInternalKey.text + "\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\n\r\n" + body.substr(0, 5)));
  std::this_thread::sleep_for(100ms);

  service_->SignalTerminate();
  EXPECT_TRUE(idle.ClosedWithin(2s));
  std::this_thread::sleep_for(200ms);
  EXPECT_FALSE(RawConnection(service_->port()).connected()) << "still accepting";
  EXPECT_TRUE(service_->running()) << "did not wait for the request in flight";

  ASSERT_TRUE(busy.Send(body.substr(5)));
  const std::string answer = busy.Read(5s);
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
