#include "service/typed_endpoints.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "service/answer_status.h"
#include "service/application.h"
#include "zebevi/report.h"

namespace zebevi::service {
namespace {

// The rights operation's message for a group that has none registered.
constexpr std::string_view kNoRights = "Direitos do grupo do usuário não cadastrados.";

// A request the endpoint will not pass to its operation.
struct Refused {
  Refusal refusal;
};

// One request's query, read for an operation: only the parameters the
// endpoint names, each at most once, the caller identifiers as the key
// allows.
class QueryReader {
 public:
  QueryReader(const RouteContext& context, std::initializer_list<std::string_view> names,
              std::initializer_list<CallerField> identifiers)
      : context_(context), identifiers_(identifiers) {
    std::vector<std::string_view> known(names);
    known.push_back("user");
    for (const CallerFieldInfo& field : CallerFields()) {
      if (std::ranges::find(identifiers_, field.field) != identifiers_.end()) {
        known.push_back(field.name);
      }
    }
    const auto& query = context.request.query;
    for (auto it = query.begin(); it != query.end(); ++it) {
      if (std::ranges::find(known, it->first) == known.end()) {
        throw Refused{{400, "unknown query parameter " + it->first}};
      }
      if (std::find_if(query.begin(), it, [&](const auto& p) { return p.first == it->first; }) !=
          it) {
        throw Refused{{400, "query parameter " + it->first + " given twice"}};
      }
    }
  }

  std::string Text(std::string_view name) const {
    return context_.request.Query(name).value_or("");
  }

  // A path parameter.
  std::string Path(const std::string& name) const { return context_.params.at(name); }

  // A date, Empty when not given.
  Value Date(std::string_view name) const {
    std::optional<Value> date = report::DateInput(Text(name));
    if (!date) {
      throw Refused{{400, std::string(name) + ": not a date (dd/mm/yyyy or YYYY-MM-DD)"}};
    }
    return *date;
  }

  // The internet user, refused when it makes the diagnostic user for a key
  // not marked for it.
  Value User() const {
    Value user = report::IdentifierInput(Text("user"));
    if (auto refusal = CheckUser(*context_.caller, user)) throw Refused{*refusal};
    return user;
  }

  // A caller identifier, as the key allows it.
  Value Identifier(CallerField field) const {
    const CallerFieldInfo& info = *std::ranges::find(CallerFields(), field, &CallerFieldInfo::field);
    const std::optional<std::string> text = context_.request.Query(info.name);
    const Value given = report::IdentifierInput(text.value_or(""));
    Value effective;
    if (auto refusal = ResolveIdentifier(*context_.caller, info, text ? &given : nullptr,
                                         effective)) {
      throw Refused{*refusal};
    }
    return effective;
  }

 private:
  const RouteContext& context_;
  std::vector<CallerField> identifiers_;
};

HttpResponse Answer(int status, std::string body) {
  HttpResponse response;
  response.status = status;
  response.body = std::move(body);
  response.database_error = status == 503;
  return response;
}

template <typename Report>
HttpResponse AnswerOf(const Report& report) {
  return Answer(StatusOfCode(report.status, report.message), report::ToJson(report));
}

HttpResponse TripOf(const Backend& backend, const RouteContext& context) {
  const QueryReader query(context, {}, {CallerField::kCustomer, CallerField::kCustomerGroup});
  report::TripQuery trip;
  trip.connection = backend.connection;
  trip.user = query.User();
  trip.customer = query.Identifier(CallerField::kCustomer);
  trip.customer_group = query.Identifier(CallerField::kCustomerGroup);
  trip.document = report::IdentifierInput(query.Path("document_id"));
  return AnswerOf(report::Trip(trip));
}

HttpResponse DocumentsOf(const Backend& backend, const RouteContext& context) {
  const QueryReader query(context, {"order", "invoice", "document"},
                          {CallerField::kCustomer, CallerField::kCustomerGroup,
                           CallerField::kSupplier, CallerField::kCollaborator,
                           CallerField::kCollaboratorType, CallerField::kCompany});
  report::DocumentQuery lookup;
  lookup.connection = backend.connection;
  lookup.user = query.User();
  lookup.customer = query.Identifier(CallerField::kCustomer);
  lookup.customer_group = query.Identifier(CallerField::kCustomerGroup);
  lookup.collaborator = query.Identifier(CallerField::kCollaborator);
  lookup.supplier = query.Identifier(CallerField::kSupplier);
  lookup.collaborator_type = query.Identifier(CallerField::kCollaboratorType);
  lookup.company = query.Identifier(CallerField::kCompany);
  lookup.order_number = report::TextInput(query.Text("order"));
  lookup.invoice_number = report::TextInput(query.Text("invoice"));
  lookup.document_number = report::TextInput(query.Text("document"));
  return AnswerOf(report::FindDocuments(lookup));
}

HttpResponse OrderOf(const Backend& backend, const RouteContext& context) {
  const QueryReader query(context, {"from", "to", "cgc", "cpf", "lang"}, {CallerField::kCompany});
  const std::string lang = query.Text("lang");
  if (!lang.empty() && lang != "pt" && lang != "en") {
    throw Refused{{400, "lang: pt or en"}};
  }
  report::OrderQuery order;
  order.connection = backend.connection;
  order.user = query.User();
  order.company = query.Identifier(CallerField::kCompany);
  order.language = Value::String(lang == "en" ? "I" : "P");
  order.order_number = report::TextInput(query.Path("number"));
  order.issued_from = query.Date("from");
  order.issued_to = query.Date("to");
  order.consignee_cgc = report::TextInput(query.Text("cgc"));
  order.consignee_cpf = report::TextInput(query.Text("cpf"));
  return AnswerOf(report::FindOrder(order));
}

HttpResponse FeaturesOf(const Backend& backend, const RouteContext& context) {
  const QueryReader query(context, {}, {CallerField::kCompany});
  report::FeaturesQuery features;
  features.connection = backend.connection;
  features.user = query.User();
  features.company = query.Identifier(CallerField::kCompany);
  features.group = report::IdentifierInput(query.Path("group_id"));
  const report::FeatureFlags flags = report::Features(features);
  // The operation delivers a group without rights as read; for a caller it
  // is a group the database does not know.
  if (flags.status == 0 && flags.message == kNoRights) return Answer(404, report::ToJson(flags));
  return AnswerOf(flags);
}

using Endpoint = HttpResponse (*)(const Backend&, const RouteContext&);

void AddGet(Router& router, const Backend& backend, std::string pattern, Endpoint endpoint) {
  router.Add(Route{.method = "GET",
                   .pattern = std::move(pattern),
                   .handler =
                       [&backend, endpoint](const RouteContext& context) {
                         try {
                           return endpoint(backend, context);
                         } catch (const Refused& refused) {
                           return ErrorResponse(refused.refusal.status, refused.refusal.message);
                         }
                       },
                   .needs_key = true,
                   .on_worker = true,
                   .deadline = std::nullopt});
}

}  // namespace

void AddTypedEndpoints(Router& router, const Backend& backend) {
  AddGet(router, backend, "/v1/trips/{document_id}", TripOf);
  AddGet(router, backend, "/v1/documents", DocumentsOf);
  AddGet(router, backend, "/v1/orders/{number}", OrderOf);
  AddGet(router, backend, "/v1/groups/{group_id}/features", FeaturesOf);
}

}  // namespace zebevi::service
