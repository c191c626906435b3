#include "service/share_endpoint.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "cli/json_value.h"
#include "service/answer_status.h"
#include "service/application.h"
#include "service/share_token.h"
#include "zebevi/trip_summary.h"

namespace zebevi::service {
namespace {

using cli::Json;

constexpr int kDefaultDays = 7;
constexpr int kMaximumDays = 90;

// A body the share cannot be made from: the status and the reason.
class Refused : public std::runtime_error {
 public:
  Refused(int status, const std::string& message) : std::runtime_error(message), status(status) {}
  int status;
};

const CallerFieldInfo& FieldInfo(CallerField field) {
  for (const CallerFieldInfo& info : CallerFields()) {
    if (info.field == field) return info;
  }
  throw std::logic_error("no such caller field");
}

std::optional<std::int32_t> Int32At(const Json& body, const char* name) {
  if (!body.contains(name)) return std::nullopt;
  const Json& value = body[name];
  if (!value.is_number_integer() || value.get<std::int64_t>() < INT32_MIN ||
      value.get<std::int64_t>() > INT32_MAX) {
    throw Refused(400, std::string(name) + " must be a 32-bit whole number");
  }
  return value.get<std::int32_t>();
}

// The viewer's identifier `field` as the key allows it.
std::optional<std::int32_t> Viewer(const Caller& caller, CallerField field, const Json& body) {
  const CallerFieldInfo& info = FieldInfo(field);
  const std::optional<std::int32_t> given = Int32At(body, std::string(info.name).c_str());
  const Value given_value = given ? Value::Int32(*given) : Value();
  Value effective;
  if (auto refusal = ResolveIdentifier(caller, info, given ? &given_value : nullptr, effective)) {
    throw Refused(refusal->status, refusal->message);
  }
  if (effective.kind() == Kind::kEmpty) return std::nullopt;
  return effective.int32();
}

// "2026-12-14T15:42:42Z".
std::string UtcText(std::chrono::sys_seconds moment) {
  const auto day = std::chrono::floor<std::chrono::days>(moment);
  const std::chrono::year_month_day date{day};
  const std::chrono::hh_mm_ss time{moment - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
  return text;
}

Value Identifier(std::optional<std::int32_t> id) { return id ? Value::Int32(*id) : Value(); }

HttpResponse Share(const Backend& backend, const ShareSettings& share, const ShareSigner& signer,
                   const RouteContext& context) {
  const std::string& id_text = context.params.at("document_id");
  std::int32_t document = 0;
  const auto [end, error] =
      std::from_chars(id_text.data(), id_text.data() + id_text.size(), document);
  if (error != std::errc() || end != id_text.data() + id_text.size() || document <= 0) {
    return ErrorResponse(400, "the document identifier must be a whole number above 0");
  }
  const cli::JsonLimits limits{.max_bytes = backend.limits.body_bytes,
                               .max_depth = static_cast<int>(backend.limits.json_depth)};
  ShareGrant grant;
  grant.document = document;
  int days = kDefaultDays;
  try {
    const Json body = cli::ParseJsonInput(
        context.request.body.empty() ? std::string_view("{}") : context.request.body, limits);
    if (!body.is_object()) return ErrorResponse(400, "the body must be a JSON object");
    for (const auto& [name, value] : body.items()) {
      if (name != "user_group" && name != "customer" && name != "customer_group" &&
          name != "days") {
        return ErrorResponse(400, "unknown field " + name);
      }
    }
    const std::optional<std::int32_t> group = Int32At(body, "user_group");
    if (!group) return ErrorResponse(400, "user_group names the viewer's user group");
    grant.user_group = *group;
    grant.customer = Viewer(*context.caller, CallerField::kCustomer, body);
    grant.customer_group = Viewer(*context.caller, CallerField::kCustomerGroup, body);
    if (const auto given = Int32At(body, "days")) days = *given;
    if (days < 1 || days > kMaximumDays) {
      return ErrorResponse(400, "days must be from 1 to 90");
    }
  } catch (const cli::UsageError& refusal) {
    return ErrorResponse(400, refusal.what());
  } catch (const Refused& refusal) {
    return ErrorResponse(refusal.status, refusal.what());
  }

  // Only a document the viewer's summary delivers is shared.
  report::TripQuery query;
  query.connection = backend.connection;
  query.customer = Identifier(grant.customer);
  query.customer_group = Identifier(grant.customer_group);
  query.document = Value::Int32(document);
  const report::TripSummary summary = report::Trip(query);
  if (summary.status != 0) {
    HttpResponse refusal =
        ErrorResponse(StatusOfCode(summary.status, summary.message), summary.message);
    refusal.database_error = refusal.status == 503;
    return refusal;
  }

  const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  grant.expires = now + std::chrono::days(days);
  HttpResponse response;
  response.body = Json{{"url", share.public_url + "/track/" + signer.Sign(grant)},
                       {"expires", UtcText(grant.expires)}}
                      .dump();
  return response;
}

}  // namespace

void AddShareEndpoint(Router& router, const Backend& backend, const ShareSettings& share) {
  std::shared_ptr<const ShareSigner> signer;
  if (!share.secret.empty()) signer = std::make_shared<const ShareSigner>(share.secret);
  router.Add(Route{.method = "POST",
                   .pattern = "/v1/trips/{document_id}/share",
                   .handler =
                       [&backend, share, signer](const RouteContext& context) {
                         if (signer == nullptr) {
                           return ErrorResponse(
                               501, "share links are off: the config holds no share.secret");
                         }
                         return Share(backend, share, *signer, context);
                       },
                   .needs_key = true,
                   .on_worker = true,
                   .deadline = std::nullopt});
}

}  // namespace zebevi::service
