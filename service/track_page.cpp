#include "service/track_page.h"

#include <chrono>
#include <memory>

#include "page/trip_page.h"
#include "service/answer_status.h"
#include "service/application.h"
#include "service/share_token.h"
#include "zebevi/feature_flags.h"
#include "zebevi/trip_summary.h"

namespace zebevi::service {
namespace {

HttpResponse Page(int status, std::string body) {
  HttpResponse response;
  response.status = status;
  response.body = std::move(body);
  response.content_type = "text/html; charset=utf-8";
  response.database_error = status == 503;
  return response;
}

// What an operation that did not deliver means for the viewer: the
// database is away (503), or there is nothing to show (404).
HttpResponse Failed(std::int32_t code, const std::string& message, page::Language language) {
  if (StatusOfCode(code, message) == 503) return Page(503, page::UnavailablePage(language));
  return Page(404, page::NotFoundPage(language));
}

HttpResponse Track(const Backend& backend, const ShareSigner* signer, const RouteContext& context) {
  const page::Language language = page::LanguageNamed(context.request.Query("lang").value_or(""));
  const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  const std::optional<ShareGrant> grant =
      signer == nullptr ? std::nullopt : signer->Verify(context.params.at("token"), now);
  if (!grant) return Page(404, page::NotFoundPage(language));

  report::FeaturesQuery features_query;
  features_query.connection = backend.connection;
  features_query.group = Value::Int32(grant->user_group);
  const report::FeatureFlags flags = report::Features(features_query);
  if (flags.status != 0) return Failed(flags.status, flags.message, language);

  report::TripQuery trip_query;
  trip_query.connection = backend.connection;
  trip_query.user_group = Value::Int32(grant->user_group);
  if (grant->customer) trip_query.customer = Value::Int32(*grant->customer);
  if (grant->customer_group) trip_query.customer_group = Value::Int32(*grant->customer_group);
  trip_query.document = Value::Int32(grant->document);
  const report::TripSummary summary = report::Trip(trip_query);
  if (summary.status != 0) return Failed(summary.status, summary.message, language);
  return Page(200, page::TripPage(summary, page::PageView::Granted(flags, language)));
}

}  // namespace

void AddTrackPage(Router& router, const Backend& backend, const ShareSettings& share) {
  std::shared_ptr<const ShareSigner> signer;
  if (!share.secret.empty()) signer = std::make_shared<const ShareSigner>(share.secret);
  router.Add(Route{
      .method = "GET",
      .pattern = "/track/{token}",
      .handler = [&backend, signer](
                     const RouteContext& context) { return Track(backend, signer.get(), context); },
      .needs_key = false,
      .on_worker = true,
      .deadline = std::nullopt});
}

}  // namespace zebevi::service
