// Share links and the trip page they open, through the real `zebevi serve`
// and headless chromium; screenshots stay in ZEBEVI_ARTIFACTS_DIR.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "service/browser.h"
#include "service/service_process.h"
#include "service/share_token.h"
#include "support/engines.h"
#include "zebevi/feature_flags.h"
#include "zebevi/trip_summary.h"

namespace zebevi::testing {
namespace {

using Json = nlohmann::ordered_json;
using report::Feature;
namespace fs = std::filesystem;

const std::string kSecret = "a share secret for the tests, 32+ bytes long";
const std::string kPublicUrl = "https://rastreio.example";
const std::vector<std::string> kStages = {"Aguardando início", "Em trânsito", "Chegou ao destino",
                                          "Entregue"};

const EngineReference& Reference() { return ReferenceOn(Engine::kSqlite); }
std::int32_t SharedDocument() {
  return static_cast<std::int32_t>(Reference().summary.exchanged_document_id);
}

// The page's blocks, in page order, that a group with `flags` sees.
std::vector<std::string> BlocksFor(const report::FeatureFlags& flags) {
  std::vector<std::string> shown;
  for (const auto& [id, features] : std::vector<std::pair<std::string, std::vector<Feature>>>{
           {"progress", {Feature::kTripData}},
           {"vehicle",
            {Feature::kTractor, Feature::kTrailer, Feature::kDriver, Feature::kTripData}},
           {"parties", {Feature::kSender, Feature::kConsignee, Feature::kCustomer}},
           {"occurrences", {Feature::kTripData}},
           {"invoices", {Feature::kInvoices}},
           {"cycle", {Feature::kTimeWindowMeasures}},
           {"distances", {Feature::kDistanceMeasures}},
           {"route", {Feature::kEfficiency}}}) {
    if (std::any_of(features.begin(), features.end(), [&](Feature f) { return flags.granted(f); }))
      shown.push_back(id);
  }
  shown.insert(shown.begin(), "status");
  return shown;
}

class TrackPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ZEBEVI_REQUIRE_ENGINE(Engine::kSqlite);
    service_.emplace(nlohmann::json{{"db", Reference().connection_string},
                                    {"threads", 2},
                                    {"share", {{"secret", kSecret}, {"public_url", kPublicUrl}}}},
                     std::vector<TestKey>{kInternalKey, kCustomerKey});
    ASSERT_TRUE(service_->started());
  }

  HttpReply Share(const Json& body, const std::string& key = kInternalKey.text,
                  const std::string& id = std::to_string(SharedDocument())) {
    return Send(service_->url("/v1/trips/" + id + "/share"), body.dump(), key);
  }

  // The link's address on the test server.
  std::string LinkFor(std::int64_t group) {
    const HttpReply reply = Share({{"user_group", group}});
    EXPECT_EQ(reply.status, 200) << reply.body;
    const std::string url = reply.json().value("url", "");
    EXPECT_EQ(url.rfind(kPublicUrl + "/track/", 0), 0u) << url;
    return service_->url(url.substr(std::min(url.size(), kPublicUrl.size())));
  }

  std::optional<ServiceProcess> service_;
};

TEST_F(TrackPage, ShareAnswersALinkOrSaysWhyNot) {
  const std::int64_t group = Reference().summary.granted_user_group_id;
  const auto before = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  const auto grant_of = [&](const HttpReply& reply) {
    EXPECT_EQ(reply.status, 200) << reply.body;
    const std::string url = reply.json().value("url", "");
    return service::ShareSigner(kSecret).Verify(url.substr(url.rfind('/') + 1), before);
  };
  const HttpReply made = Share({{"user_group", group}, {"days", 3}});
  const auto grant = grant_of(made);
  ASSERT_TRUE(grant.has_value()) << made.body;
  EXPECT_EQ(grant->document, SharedDocument());
  EXPECT_EQ(grant->user_group, group);
  EXPECT_GE(grant->expires - before, std::chrono::days(3));
  EXPECT_LE(grant->expires - before, std::chrono::days(3) + std::chrono::seconds(5));
  EXPECT_EQ(made.json()["expires"].get<std::string>().size(), 20u);  // "2026-12-10T15:42:42Z"
  const auto own = grant_of(Share({{"user_group", group}}, kCustomerKey.text));
  ASSERT_TRUE(own.has_value());
  EXPECT_EQ(own->customer, std::optional<std::int32_t>(1));

  const std::string in = kInternalKey.text, doc = std::to_string(SharedDocument());
  const Json g{{"user_group", group}};
  for (const auto& [body, key, id, status, error] :
       std::vector<std::tuple<Json, std::string, std::string, long, std::string>>{
           {g, "", doc, 401, "API key"},
           {Json::object(), in, doc, 400, "user_group"},
           {{{"user_group", group}, {"days", 91}}, in, doc, 400, "days"},
           {{{"user_group", group}, {"user", 1}}, in, doc, 400, "user"},
           {{{"user_group", group}, {"customer", 2}}, kCustomerKey.text, doc, 403, "customer"},
           {g, in, "987654321", 404, "não encontrada"}}) {
    const HttpReply reply = Share(body, key, id);
    EXPECT_EQ(reply.status, status) << error << ": " << reply.body;
    EXPECT_NE(reply.json().value("error", "").find(error), std::string::npos) << reply.body;
  }
}

TEST_F(TrackPage, FitsAPhoneAndADeskShowingTheGrantedBlocksOnly) {
  report::TripQuery query;
  query.connection = Reference().connection_string;
  query.document = Value::Int32(SharedDocument());
  const report::TripSummary summary = report::Trip(query);
  ASSERT_EQ(summary.status, 0) << summary.message;
  const std::int64_t customers = Reference().summary.granted_user_group_id;
  Browser browser;
  ASSERT_TRUE(browser.started());
  for (const auto& [name, group] : std::vector<std::pair<std::string, std::int64_t>>{
           {"every-feature", customers - 1},
           {"customer", customers},
           {"basic", customers + 1},
           {"no-rights", Reference().summary.empty_user_group_id}}) {
    report::FeaturesQuery features;
    features.connection = Reference().connection_string;
    features.group = Value::Int32(static_cast<std::int32_t>(group));
    const report::FeatureFlags flags = report::Features(features);
    ASSERT_EQ(flags.status, 0) << flags.message;
    const std::string link = LinkFor(group);
    for (const int width : {390, 1280}) {
      SCOPED_TRACE(name + " at " + std::to_string(width) + " px");
      browser.Resize(width, width < 600 ? 844 : 900);
      const Browser::Load load = browser.Open(link);
      EXPECT_EQ(load.status, 200);
      EXPECT_TRUE(load.console.empty()) << ::testing::PrintToString(load.console);
      const Json page = browser.Evaluate(R"(({
        inner: innerWidth,
        scroll: Math.max(document.documentElement.scrollWidth, document.body.scrollWidth),
        stage: document.querySelector('#status .stage')?.textContent ?? '',
        number: document.getElementById('document-number')?.textContent ?? null,
        blocks: [...document.querySelectorAll('main section[id]')].map(s => s.id),
        html: document.documentElement.outerHTML
      }))");
      browser.Screenshot(fs::path(ZEBEVI_ARTIFACTS_DIR) /
                         (name + "-" + std::to_string(width) + ".png"));
      ASSERT_TRUE(page.is_object());
      EXPECT_EQ(page["inner"], width);
      EXPECT_LE(page["scroll"].get<int>(), width);
      EXPECT_NE(std::find(kStages.begin(), kStages.end(), page["stage"].get<std::string>()),
                kStages.end())
          << page["stage"];
      EXPECT_EQ(page["blocks"].get<std::vector<std::string>>(), BlocksFor(flags));
      EXPECT_EQ(page["number"],
                flags.granted(Feature::kDocumentNumber) ? Json(summary.document.number) : Json());
      const std::string html = page["html"];
      EXPECT_EQ(html.find(summary.header.driver) != std::string::npos,
                flags.granted(Feature::kDriver));
      EXPECT_EQ(html.find(summary.header.sender) != std::string::npos,
                flags.granted(Feature::kSender));
    }
  }
}

TEST_F(TrackPage, SpeaksEnglishWhenAsked) {
  const std::string link = LinkFor(Reference().summary.granted_user_group_id - 1);
  const std::string english = Get(link + "?lang=en").body;
  EXPECT_NE(english.find("<html lang=\"en\">"), std::string::npos);
  EXPECT_NE(english.find("<h2>Invoices ("), std::string::npos);
  EXPECT_EQ(english.find("Notas fiscais"), std::string::npos);
  EXPECT_NE(Get(link).body.find("<h2>Notas fiscais ("), std::string::npos);
}

TEST_F(TrackPage, GivesOnePlain404ToEveryLinkThatIsNotValid) {
  const std::int64_t group = Reference().summary.granted_user_group_id;
  const std::string link = LinkFor(group);
  const std::string token = link.substr(link.rfind('/') + 1);
  const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  service::ShareGrant grant{.document = SharedDocument(),
                            .user_group = static_cast<std::int32_t>(group),
                            .customer = std::nullopt,
                            .customer_group = std::nullopt,
                            .expires = now - std::chrono::seconds(1)};
  const std::string expired = service::ShareSigner(kSecret).Sign(grant);
  grant.expires = now + std::chrono::hours(1);
  const std::string foreign = service::ShareSigner(kSecret + "!").Sign(grant);
  std::string tampered = token;
  tampered.back() = tampered.back() == '0' ? '1' : '0';

  std::string first_body;
  for (const std::string& bad : {tampered, expired, foreign, std::string("abc")}) {
    SCOPED_TRACE(bad);
    const HttpReply reply = Get(service_->url("/track/" + bad));
    EXPECT_EQ(reply.status, 404);
    EXPECT_EQ(reply.headers.at("content-type"), "text/html; charset=utf-8");
    if (first_body.empty()) first_body = reply.body;
    EXPECT_EQ(reply.body, first_body);
  }
  EXPECT_NE(first_body.find("não existe ou expirou"), std::string::npos) << first_body;

  Browser browser;
  ASSERT_TRUE(browser.started());
  browser.Resize(390, 844);
  EXPECT_EQ(browser.Open(service_->url("/track/" + expired)).status, 404);
  EXPECT_EQ(browser.Evaluate("document.querySelector('#notice h1')?.textContent ?? ''"),
            "Página não encontrada");
  EXPECT_EQ(browser.Evaluate("document.querySelector('#status') === null"), true);
  // The pages' empty consoles are no accident of the browser's: it sees a
  // page that writes there.
  EXPECT_FALSE(browser.Open("data:text/html,<script>missing();</script>").console.empty());
}

}  // namespace
}  // namespace zebevi::testing
