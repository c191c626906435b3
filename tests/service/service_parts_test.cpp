// The service's parts that decide without a network: the config and its
// sources, the API keys, the request target. What a caller may pass is
// the endpoint tests' table.
#include <gtest/gtest.h>

#include <fstream>

#include "service/auth.h"
#include "service/call_endpoint.h"
#include "service/caller.h"
#include "service/config.h"
#include "service/http_message.h"
#include "support/test_support.h"

namespace zebevi::service {
namespace {

using zebevi::testing::TempDir;

const std::string kHash = HexText(Sha256("k"));

ServiceConfig FromFile(const std::string& text) {
  TempDir dir;
  std::ofstream(dir / "config.json") << text;
  ServiceConfig config;
  ReadConfigFile(dir / "config.json", config);
  return config;
}

TEST(ServiceConfig, ReadsTheFileThenTheEnvironment) {
  ServiceConfig config = FromFile(R"({"listen": "[::1]:9000", "db": "sqlite:/a.db", "threads": 3,
      "limits": {"body_bytes": 10, "idle_timeout_ms": 20},
      "keys": [{"caller": "portal", "sha256": ")" +
                                  kHash + R"(", "customer": 5}]})");
  EXPECT_EQ(config.listen.host, "::1");
  EXPECT_EQ(config.listen.port, 9000);
  EXPECT_EQ(config.threads, 3u);
  EXPECT_EQ(config.limits.body_bytes, 10u);
  EXPECT_EQ(config.limits.idle_timeout, std::chrono::milliseconds(20));
  EXPECT_EQ(config.limits.header_bytes, Limits{}.header_bytes);
  ASSERT_EQ(config.keys.keys().size(), 1u);
  EXPECT_EQ(config.keys.keys()[0].caller.bound.at(CallerField::kCustomer), 5);

  const std::map<std::string, std::string> variables{
      {"ZEBEVI_DB", "sqlite:/b.db"}, {"ZEBEVI_THREADS", "7"}, {"ZEBEVI_LISTEN", "0.0.0.0:80"}};
  ApplyEnvironment(
      [&](std::string_view name) -> std::optional<std::string> {
        const auto it = variables.find(std::string(name));
        return it == variables.end() ? std::nullopt : std::optional(it->second);
      },
      config);
  EXPECT_EQ(config.db, "sqlite:/b.db");
  EXPECT_EQ(config.threads, 7u);
  EXPECT_EQ(config.listen.host, "0.0.0.0");
}

TEST(ServiceConfig, RefusesWhatItCannotUse) {
  const std::string key = R"("caller": "c", "sha256": ")" + kHash + "\"";
  for (const auto& [text, names] : std::vector<std::pair<std::string, std::string>>{
           {"[]", "JSON object"},
           {R"({"lisen": "x:1"})", "lisen"},
           {R"({"listen": "nowhere"})", "nowhere"},
           {R"({"listen": "h:70000"})", "port"},
           {R"({"threads": 0})", "threads"},
           {R"({"limits": {"body_byte": 1}})", "body_byte"},
           {R"({"limits": {"body_bytes": -1}})", "body_bytes"},
           {R"({"keys": [{"sha256": ")" + kHash + R"(", "internal": true}]})", "caller"},
           {R"({"keys": [{"caller": "c", "sha256": "abc", "internal": true}]})", "sha256"},
           {R"({"keys": [{)" + key + R"(, "internal": "yes"}]})", "internal"},
           {R"({"keys": [{)" + key + "}]}", "customer_group"},
           {R"({"keys": [{)" + key + R"(, "internal": true, "customer": 1}]})", "binds none"},
           {R"({"keys": [{)" + key + R"(, "customer": 3000000000}]})", "32-bit"},
           {R"({"keys": [{)" + key + R"(, "customer": 1, "colour": 2}]})", "colour"},
           {R"({"share": {"secret": "thirty-one bytes are too few..."}})", "32 bytes"},
           {R"({"share": {"secrets": "x"}})", "share.secrets"},
       }) {
    SCOPED_TRACE(text);
    try {
      FromFile(text);
      ADD_FAILURE() << "accepted";
    } catch (const ConfigError& e) {
      EXPECT_NE(std::string(e.what()).find(names), std::string::npos) << e.what();
    }
  }
}

TEST(ApiKeys, AcceptOnlyABearerKeyTheyHold) {
  Caller portal;
  portal.name = "portal";
  const KeyRing keys({ApiKey{Sha256("secret-1"), portal}});
  ASSERT_NE(keys.Authenticate("Bearer secret-1"), nullptr);
  EXPECT_EQ(keys.Authenticate("Bearer secret-1")->name, "portal");
  for (const char* header : {"", "Bearer ", "Bearer secret-2", "bearer secret-1", "Basic secret-1",
                             "Bearer secret-1 ", "secret-1"}) {
    EXPECT_EQ(keys.Authenticate(header), nullptr) << header;
  }
  EXPECT_EQ(HexText(Sha256("abc")),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(HexText(DigestFromHex(HexText(Sha256("abc")))), HexText(Sha256("abc")));
}

TEST(HttpTarget, DecodesThePathAndTheQuery) {
  HttpRequest request;
  ASSERT_TRUE(ParseTarget("/v1/orders/A%2FB?from=2024-01-02&lang=en&cgc=1+2&flag", request));
  EXPECT_EQ(request.path, "/v1/orders/A/B");
  EXPECT_EQ(request.Query("cgc"), "1 2");
  EXPECT_EQ(request.Query("flag"), "");
  EXPECT_EQ(request.Query("to"), std::nullopt);
  for (const char* bad : {"", "v1", "/a%2", "/a%zz", "/a?b=%"}) {
    EXPECT_FALSE(ParseTarget(bad, request)) << bad;
  }
}

}  // namespace
}  // namespace zebevi::service
