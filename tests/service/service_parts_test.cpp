// The service's parts that decide without a network: the config, the API
// keys, the request target, the share-link tokens.
#include <gtest/gtest.h>

#include <fstream>

#include "service/auth.h"
#include "service/call_endpoint.h"
#include "service/caller.h"
#include "service/config.h"
#include "service/http_message.h"
#include "service/share_token.h"
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
  EXPECT_EQ(config.limits.header_bytes, Limits{}.header_bytes);
  ASSERT_EQ(config.keys.keys().size(), 1u);
  EXPECT_EQ(config.keys.keys()[0].caller.bound.at(CallerField::kCustomer), 5);

  const std::map<std::string, std::string> variables{{"ZEBEVI_DB", "sqlite:/b.db"},
                                                     {"ZEBEVI_THREADS", "7"}};
  ApplyEnvironment(
      [&](std::string_view name) -> std::optional<std::string> {
        const auto it = variables.find(std::string(name));
        return it == variables.end() ? std::nullopt : std::optional(it->second);
      },
      config);
  EXPECT_EQ(config.db, "sqlite:/b.db");
  EXPECT_EQ(config.threads, 7u);
  EXPECT_EQ(config.listen.port, 9000);
}

TEST(ServiceConfig, RefusesWhatItCannotUse) {
  const std::string key = R"("caller": "c", "sha256": ")" + kHash + "\"";
  for (const auto& [text, names] : std::vector<std::pair<std::string, std::string>>{
           {"[]", "JSON object"},
           {R"({"lisen": "x:1"})", "lisen"},
           {R"({"listen": "h:70000"})", "port"},
           {R"({"keys": [{"caller": "c", "sha256": "abc", "internal": true}]})", "sha256"},
           {R"({"keys": [{)" + key + "}]}", "customer_group"},
           {R"({"keys": [{)" + key + R"(, "internal": true, "customer": 1}]})", "binds none"},
           {R"({"share": {"secret": "thirty-one bytes are too few..."}})", "32 bytes"},
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
  for (const char* header :
       {"", "Bearer ", "Bearer secret-2", "Basic secret-1", "Bearer secret-1 "}) {
    EXPECT_EQ(keys.Authenticate(header), nullptr) << header;
  }
  EXPECT_EQ(HexText(Sha256("abc")),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(HttpTarget, DecodesThePathAndTheQuery) {
  HttpRequest request;
  ASSERT_TRUE(ParseTarget("/v1/orders/A%2FB?from=2024-01-02&lang=en&cgc=1+2&flag", request));
  EXPECT_EQ(request.path, "/v1/orders/A/B");
  EXPECT_EQ(request.Query("cgc"), "1 2");
  EXPECT_EQ(request.Query("flag"), "");
  EXPECT_EQ(request.Query("to"), std::nullopt);
  for (const char* bad : {"", "v1", "/a%2", "/a?b=%"}) {
    EXPECT_FALSE(ParseTarget(bad, request)) << bad;
  }
}

using std::chrono::seconds;
using std::chrono::sys_seconds;

const std::string kSecret = "0123456789abcdef0123456789abcdef";
const sys_seconds kExpires{seconds(1'800'000'000)};

// Replaces the first `from` of `token` after position `at` with `to`.
std::string Changed(std::string token, std::string_view from, std::string_view to,
                    std::size_t at = 0) {
  const std::size_t where = token.find(from, at);
  EXPECT_NE(where, std::string::npos) << token << " has no " << from;
  if (where != std::string::npos) token.replace(where, from.size(), to);
  return token;
}

// A token opens only what it was signed for until it expires; a changed
// field opens nothing. (The page tests try a changed MAC, another secret's
// token and no token.)
TEST(ShareToken, OpensOnlyWhatWasSignedUntilItExpires) {
  const ShareGrant grant{.document = 1001,
                         .user_group = 7,
                         .customer = 1042,
                         .customer_group = std::nullopt,
                         .expires = kExpires};
  const ShareSigner signer(kSecret);
  const std::string token = signer.Sign(grant);
  EXPECT_EQ(token.rfind("v1.1001.7.1042..1800000000.", 0), 0u) << token;

  for (const auto& [name, text, now, opens] :
       std::vector<std::tuple<std::string, std::string, sys_seconds, bool>>{
           {"as signed", token, kExpires - seconds(1), true},
           {"at its expiry", token, kExpires, false},
           {"another document", Changed(token, "1001", "1002"), sys_seconds{}, false},
           {"customer dropped", Changed(token, ".1042.", ".."), sys_seconds{}, false},
           {"customer group added", Changed(token, "..", ".3."), sys_seconds{}, false},
           {"expiry pushed back", Changed(token, ".18", ".19"), kExpires + seconds(1), false},
           {"MAC cut short", token.substr(0, token.size() - 2), sys_seconds{}, false}}) {
    const std::optional<ShareGrant> opened = signer.Verify(text, now);
    EXPECT_EQ(opened.has_value(), opens) << name << ": " << text;
    EXPECT_TRUE(!opened || *opened == grant) << name;
  }
}

}  // namespace
}  // namespace zebevi::service
