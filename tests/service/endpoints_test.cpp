// The real `zebevi serve` through a real HTTP client on loopback: its
// endpoints on every engine, what the open internet throws at it, and a
// database outage.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>

#include "frame/trap.h"
#include "service/service_process.h"
#include "support/engines.h"

namespace zebevi::testing {
namespace {

using Json = nlohmann::ordered_json;
using namespace std::chrono_literals;

class ServiceOnEngines : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (IsSkipped() || HasFailure()) return;
    service_.emplace(nlohmann::json{{"db", reference().connection_string}, {"threads", 2}},
                     std::vector<TestKey>{kInternalKey, kDiagnosticKey, kCustomerKey});
    ASSERT_TRUE(service_->started());
  }

  HttpReply Call(const std::string& operation, const Json& params,
                 const std::string& key = kInternalKey.text) {
    return Send(service_->url("/v1/call/" + operation), params.dump(), key);
  }

  std::string DocumentId() const { return std::to_string(reference().summary.plain_document_id); }

  std::optional<ServiceProcess> service_;
};

// The message an answer carries, or its error ("" for neither).
std::string MessageOf(const HttpReply& reply) {
  const Json json = reply.json();
  if (!json.is_object()) return "";
  if (json.contains("error")) return json["error"];
  if (json.value("message", Json()).is_string()) return json["message"];
  const Json message = json.value("params", Json::object()).value("outvntMsg_ret", Json::object());
  return message.value("value", Json()).is_string() ? message["value"] : "";
}

TEST_P(ServiceOnEngines, CallGivesTheResultAndParamsOfZebeviCall) {
  Json params{{"invntUsuario_Internet_id", 7}, {"invntDOCTO_TRANSPORTE_ID", DocumentId()}};
  const HttpReply reply = Call("gConsulta_Espelho_Viagem", params);
  ASSERT_EQ(reply.status, 200) << reply.body;
  params["invntConecta_db"] = reference().connection_string;
  const CommandResult direct = RunZebevi({"call", "gConsulta_Espelho_Viagem", params.dump()});
  ASSERT_EQ(direct.status, 0) << direct.err;
  Json expected = Json::parse(direct.out);
  // The service's database is its own: the answer never shows it.
  expected["params"]["invntConecta_db"] = (Json{{"type", "Empty"}});
  EXPECT_EQ(reply.body, expected.dump());
}

// A request (a POST when it has a body) and its answer.
struct Exchange {
  std::string name;
  std::string path;
  std::string body;
  long status;
  std::string message;  // a part of the answer's message or error
  std::string key = kInternalKey.text;
  std::string verb = {};  // when given, the verb line whose --json the answer equals
};

TEST_P(ServiceOnEngines, AnswersWithTheStatusThatFits) {
  const schema::GeneratorSummary& data = reference().summary;
  const std::string internal = kInternalKey.text, customer = kCustomerKey.text,
                    diagnostic = kDiagnosticKey.text;
  const std::string trip = "/v1/call/gConsulta_Espelho_Viagem";
  const std::string lookup = "/v1/call/gValida_Num_Documento";
  const std::string hour = "/v1/call/mPega_Hora";
  const std::string doc = DocumentId(), order = data.multi_document_order;
  const std::string features =
      "/v1/groups/" + std::to_string(data.granted_user_group_id) + "/features";
  const std::string failing = R"({"invntNum_Pedido": null, "invntUsuario_Internet_id": )";
  const std::string clientes(frame::kClientesText), not_found = "não encontrada";
  const std::vector<Exchange> cases{
      {"alive", "/healthz", "", 200, "", ""},
      {"no key", trip, "{}", 401, "API key", ""},
      {"unknown key", trip, "{}", 401, "API key", "not-a-key"},
      {"no key, typed", "/v1/trips/" + doc, "", 401, "API key", ""},
      {"no such path", "/v2/nothing", "", 404, "no such resource"},
      {"wrong method", trip, "", 405, "method"},
      {"no such operation", "/v1/call/gNada", "{}", 404, "gNada"},
      {"not JSON", trip, "{\"a\":", 400, "not valid JSON"},
      {"unknown parameter", trip, R"({"invntNada": 1})", 400, "invntNada"},
      {"connection given", trip, R"({"invntConecta_db": "sqlite:/etc/passwd"})", 400,
       "invntConecta_db"},
      {"too deep", hour, std::string(40, '[') + std::string(40, ']'), 400, "deeper"},
      {"document not found", trip, R"({"invntDOCTO_TRANSPORTE_ID": 987654321})", 404, not_found},
      {"no document", trip, R"({"invntDOCTO_TRANSPORTE_ID": "abc"})", 400, "Informe um documento"},
      {"trap ran", lookup, failing + "2}", 503, clientes},
      // The trap's detail names the operation, for marked keys only.
      {"diagnostic detail", lookup, failing + "1}", 503, clientes + "GValida_Num_Documento ( ",
       diagnostic},
      {"diagnostic user tagged", lookup, failing + R"({"type": "Int16", "value": 1}})", 403,
       "diagnostic"},
      {"customer chosen", trip, R"({"invntCliente_id": 2})", 403, "customer", customer},
      {"customer null", trip, R"({"invntCliente_id": {"type": "Null"}})", 403, "customer",
       customer},
      {"supplier chosen", lookup, R"({"invntFornecedor_id": 4})", 403, "supplier", customer},
      {"inner operation", "/v1/call/mBusca_Dados_Viagem", "{}", 403, "internal keys only",
       customer},
      {"trip", "/v1/trips/" + doc, "", 200, "", internal, "trip " + doc},
      {"trip for the key's customer", "/v1/trips/" + doc, "", 200, "", customer,
       "trip " + doc + " --customer 1"},
      {"typed customer chosen", "/v1/trips/" + doc + "?customer=2", "", 403, "customer", customer},
      {"documents of an order", "/v1/documents?order=" + order, "", 200, "", internal,
       "find --order " + order},
      {"order", "/v1/orders/" + order + "?cgc=" + data.consignee_cgc + "&from=2000-01-01", "", 200,
       "", internal, "order " + order + " --cgc " + data.consignee_cgc + " --from 2000-01-01"},
      {"order in English", "/v1/orders/no-such?lang=en", "", 404, "", internal,
       "order no-such --english"},
      {"order with a bad date", "/v1/orders/" + order + "?to=31/02/2024", "", 400,
       "to: not a date"},
      {"features", features, "", 200, "", customer,
       "flags " + std::to_string(data.granted_user_group_id)},
      {"unknown query parameter", "/v1/trips/" + doc + "?custmer=1", "", 400, "custmer"},
      {"typed diagnostic user", features + "?user=1", "", 403, "diagnostic"},
      {"typed diagnostic user marked", features + "?user=1", "", 200, "", diagnostic,
       "flags " + std::to_string(data.granted_user_group_id) + " --user 1"},
  };
  for (const Exchange& c : cases) {
    SCOPED_TRACE(c.name);
    HttpReply reply = Send(service_->url(c.path), c.body, c.key);
    EXPECT_EQ(reply.status, c.status) << reply.body;
    EXPECT_EQ(reply.headers["content-type"], "application/json; charset=utf-8");
    EXPECT_NE(MessageOf(reply).find(c.message), std::string::npos) << reply.body;
    EXPECT_EQ(reply.headers.count("retry-after"), c.status == 503 ? 1u : 0u);
    if (c.status == 401) {
      EXPECT_EQ(reply.headers["www-authenticate"], "Bearer");
    }
    if (c.key != diagnostic) {
      EXPECT_EQ(reply.body.find("GValida"), std::string::npos);
    }
    if (!c.verb.empty()) {
      std::istringstream words(c.verb);
      std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
      args.insert(args.end(), {"--json", "--db", reference().connection_string});
      const CommandResult direct = RunZebevi(args);
      EXPECT_EQ(reply.json(), Json::parse(direct.out, nullptr, false)) << direct.err;
    }
  }
}

TEST_P(ServiceOnEngines, FillsACustomerKeysIdentifiersFromTheKey) {
  for (const Json& given : {Json::object(), Json{{"invntCliente_id", "1"}}}) {
    SCOPED_TRACE(given.dump());
    Json params = given;
    params["invntDOCTO_TRANSPORTE_ID"] = DocumentId();
    const HttpReply reply = Call("gConsulta_Espelho_Viagem", params, kCustomerKey.text);
    ASSERT_EQ(reply.status, 200) << reply.body;
    EXPECT_EQ(reply.json()["params"]["invntCliente_id"], (Json{{"type", "Int32"}, {"value", 1}}));
    EXPECT_EQ(reply.json()["params"]["invntGrupo_Cliente_id"], (Json{{"type", "Empty"}}));
  }
  // An internal key passes what it is given.
  const HttpReply internal =
      Call("gConsulta_Espelho_Viagem",
           {{"invntDOCTO_TRANSPORTE_ID", DocumentId()}, {"invntGrupo_Cliente_id", 9}});
  EXPECT_EQ(internal.json()["params"]["invntGrupo_Cliente_id"],
            (Json{{"type", "Int32"}, {"value", 9}}));
}

TEST_P(ServiceOnEngines, CountsRequestsAndLogsOneLineEachWithoutSecrets) {
  const std::string tax_number = "12345678000199";
  EXPECT_EQ(Get(service_->url("/healthz")).status, 200);
  EXPECT_EQ(Call("gValida_Num_Pedido_Publ",
                 {{"invntNum_Pedido", "no-such-order"}, {"inCGC_Destinatario", tax_number}})
                .status,
            404);
  EXPECT_EQ(Get(service_->url("/v1/call/x?cgc=" + tax_number), kInternalKey.text).status, 405);
  EXPECT_EQ(Call("mConverte_Decimal_Hora", {{"invntValor", 60}}, "wrong-key").status, 401);

  const HttpReply metrics = Get(service_->url("/metrics"));
  ASSERT_EQ(metrics.status, 200);
  EXPECT_EQ(metrics.headers.at("content-type").rfind("text/plain; version=0.0.4", 0), 0u);
  for (const char* line :
       {R"(zebevi_http_requests_total{route="/healthz",method="GET",status="200"} 1)",
        R"(zebevi_http_requests_total{route="/v1/call/{operation}",method="POST",status="404"} 1)",
        R"(zebevi_http_requests_total{route="unmatched",method="GET",status="405"} 1)",
        R"(zebevi_http_request_duration_seconds_count{route="/v1/call/{operation}"} 2)",
        "zebevi_db_errors_total 0"}) {
    EXPECT_NE(metrics.body.find(line), std::string::npos) << line << "\n" << metrics.body;
  }
  // The lookup's session waits in the pool for the next call.
  EXPECT_TRUE(std::regex_search(metrics.body,
                                std::regex(R"(zebevi_db_pool_connections\{state="idle"\} [1-9])")))
      << metrics.body;

  std::vector<Json> requests;
  for (const std::string& line : service_->LogLines()) {
    const Json entry = Json::parse(line, nullptr, false);
    ASSERT_TRUE(entry.is_object()) << line;
    for (const std::string& secret : {tax_number, kInternalKey.text, std::string("TRMVQKD")}) {
      EXPECT_EQ(line.find(secret), std::string::npos) << line;
    }
    if (!entry.contains("event")) requests.push_back(entry);
  }
  // The metrics request itself is logged once its answer is written.
  ASSERT_GE(requests.size(), 4u);
  EXPECT_EQ(requests[1]["route"], "/v1/call/{operation}");
  EXPECT_EQ(requests[1]["method"], "POST");
  EXPECT_EQ(requests[1]["status"], 404);
  EXPECT_EQ(requests[1]["caller"], "backoffice");
  for (const char* field : {"time", "duration_ms", "bytes"})
    EXPECT_TRUE(requests[1].contains(field));
  EXPECT_FALSE(requests[3].contains("caller"));
}

ZEBEVI_INSTANTIATE_ON_ENGINES(ServiceOnEngines);

// What a server on the open internet must withstand: oversized requests, slow
// and idle clients, many idle keep-alive connections, a SIGTERM mid-request.

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

// A PostgreSQL server that goes away while the service runs, and comes back:
// 503 with Retry-After while it is gone, 200 again at once after, with no
// restart of the service. The server is a throwaway cluster of the test's
// own (scripts/pg-test-server), never the one the test command shares.

// scripts/pg-test-server with `args`, under sh: its standard output lines.
std::vector<std::string> PgTestServer(const std::string& args) {
  const std::string command = ShellQuote(ZEBEVI_PG_TEST_SERVER) + " " + args;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::vector<std::string> lines;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe.get())) lines.emplace_back(line, std::strlen(line) - 1);
  EXPECT_EQ(::pclose(pipe.release()), 0) << command;
  return lines;
}

TEST(DatabaseOutage, AnswersServiceUnavailableWhileTheDatabaseIsGoneAndRecovers) {
  ZEBEVI_REQUIRE_ENGINE(Engine::kPostgres);
  // Its folder and connection string, out of the lines to eval.
  const std::vector<std::string> own = PgTestServer(
      "start " + ShellQuote(ZEBEVI_PG_LOAD) + " | sed -n \"s/^export [A-Z_]*='\\(.*\\)'$/\\1/p\"");
  const struct Stop {
    std::string dir;  // never empty: an empty folder stops the shared server
    ~Stop() {
      if (!dir.empty()) PgTestServer("stop " + ShellQuote(dir));
    }
  } stop{own.empty() ? "" : own[0]};
  ASSERT_EQ(own.size(), 2u);
  const std::string dir = ShellQuote(own[0]);
  ServiceProcess service(Json{{"db", own[1]}, {"threads", 2}}, {kInternalKey});
  ASSERT_TRUE(service.started());
  const std::string document =
      std::to_string(ReferenceOn(Engine::kPostgres).summary.plain_document_id);
  const auto trip = [&] {
    return Send(service.url("/v1/call/gConsulta_Espelho_Viagem"),
                Json{{"invntDOCTO_TRANSPORTE_ID", document}}.dump(), kInternalKey.text);
  };
  for (int i = 0; i < 3; ++i) ASSERT_EQ(trip().status, 200);

  PgTestServer("pause " + dir);
  for (int i = 0; i < 3; ++i) {
    const HttpReply gone = trip();
    EXPECT_EQ(gone.status, 503) << gone.body;
    EXPECT_EQ(gone.headers.count("retry-after"), 1u);
    EXPECT_EQ(Get(service.url("/readyz")).status, 503);
  }
  PgTestServer("resume " + dir);
  // Right after: not one answer from a connection the outage killed.
  for (int i = 0; i < 10; ++i) {
    const HttpReply back = trip();
    EXPECT_EQ(back.status, 200) << i << ": " << back.body;
  }
  EXPECT_EQ(Get(service.url("/readyz")).status, 200);
  const std::string metrics = Get(service.url("/metrics")).body;
  EXPECT_EQ(metrics.find("zebevi_db_errors_total 0"), std::string::npos) << metrics;
}

}  // namespace
}  // namespace zebevi::testing
