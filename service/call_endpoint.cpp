#include "service/call_endpoint.h"

#include <sstream>

#include "cli/call_command.h"
#include "cli/exit_codes.h"
#include "cli/json_value.h"
#include "service/answer_status.h"
#include "service/application.h"
#include "zebevi/dispatch.h"

namespace zebevi::service {
namespace {

using cli::Json;

constexpr std::string_view kConnectionString = "invntConecta_db";

bool TakesConnection(const ParamInfo& param) {
  return param.kind == ParamKind::kDbConnection || param.kind == ParamKind::kObject;
}

bool UsesDatabase(const OperationInfo& op) {
  for (const ParamInfo& param : op.params) {
    if (TakesConnection(param) || param.name == kConnectionString) return true;
  }
  return false;
}

const ParamInfo* ParamOf(const OperationInfo& op, std::string_view name) {
  for (const ParamInfo& param : op.params) {
    if (param.name == name) return &param;
  }
  return nullptr;
}

std::string Dump(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

HttpResponse JsonAnswer(int status, const Json& json) {
  HttpResponse response;
  response.status = status;
  response.body = Dump(json);
  response.database_error = status == 503;
  return response;
}

// A value the body gives, read as `zebevi call` reads it.
std::optional<Refusal> ValueGiven(const Json& input, std::string_view name, Value& value) {
  try {
    value = cli::ValueFromJson(input.at(std::string(name)));
    return std::nullopt;
  } catch (const cli::UsageError& e) {
    return Refusal{400, std::string(name) + ": " + e.what()};
  }
}

// Makes the body the call the caller may make: the service's connection in
// every connection parameter, the caller identifiers the key allows.
std::optional<Refusal> Admit(const OperationInfo& op, const Caller& caller,
                             const std::string& connection, Json& input) {
  for (const ParamInfo& param : op.params) {
    const bool connection_param = TakesConnection(param) || param.name == kConnectionString;
    if (!connection_param) continue;
    if (input.contains(param.name)) {
      return Refusal{400,
                     "the service supplies the database: leave out " + std::string(param.name)};
    }
    if (TakesConnection(param) && !caller.internal) {
      return Refusal{403, std::string(op.name) +
                              " works on a connection without a customer: internal keys only"};
    }
    input[std::string(param.name)] = connection;
  }
  for (const CallerFieldInfo& field : CallerFields()) {
    if (ParamOf(op, field.param) == nullptr) continue;
    const std::string name(field.param);
    Value given;
    const bool present = input.contains(name);
    if (present) {
      if (auto refusal = ValueGiven(input, name, given)) return refusal;
    }
    Value effective;
    if (auto refusal = ResolveIdentifier(caller, field, present ? &given : nullptr, effective)) {
      return refusal;
    }
    if (caller.internal) continue;  // the body stays exactly as given
    if (effective.kind() == Kind::kEmpty) {
      input.erase(name);
    } else {
      input[name] = cli::TaggedJson(effective);
    }
  }
  if (ParamOf(op, kUserParam) != nullptr && input.contains(std::string(kUserParam))) {
    Value user;
    if (auto refusal = ValueGiven(input, kUserParam, user)) return refusal;
    if (auto refusal = CheckUser(caller, user)) return refusal;
  }
  return std::nullopt;
}

// The HTTP status of a returned call, from its result and message.
int StatusOfAnswer(const OperationInfo& op, const Json& answer) {
  const Json& result = answer["result"];
  const Json& message = answer["params"]["outvntMsg_ret"];
  const std::string text = message.contains("value") && message["value"].is_string()
                               ? message["value"].get<std::string>()
                               : std::string();
  if (result.value("type", "") == "Boolean") {
    return StatusOfBoolean(result.value("value", false), text, UsesDatabase(op));
  }
  if (result.contains("value") && result["value"].is_number_integer()) {
    return StatusOfCode(result["value"].get<std::int32_t>(), text);
  }
  return 500;
}

HttpResponse Call(const Backend& backend, const RouteContext& context) {
  const std::string& name = context.params.at("operation");
  const OperationInfo* op = FindOperation(name);
  if (op == nullptr) return ErrorResponse(404, "no operation " + name);
  const std::string_view body = context.request.body.empty()
                                    ? std::string_view("{}")
                                    : std::string_view(context.request.body);
  // The same reader and limits as `zebevi call`; the body limit has been
  // applied already, while the request was read.
  const cli::JsonLimits limits{.max_bytes = backend.limits.body_bytes,
                               .max_depth = static_cast<int>(backend.limits.json_depth)};
  Json input;
  try {
    input = cli::ParseJsonInput(body, limits);
  } catch (const cli::UsageError& refusal) {
    return ErrorResponse(400, refusal.what());
  }
  if (!input.is_object()) return ErrorResponse(400, "the parameters must be a JSON object");
  if (auto refusal = Admit(*op, *context.caller, backend.connection, input)) {
    return ErrorResponse(refusal->status, refusal->message);
  }

  std::istringstream no_input;
  std::ostringstream out;
  std::ostringstream err;
  const int exit = cli::RunCall(cli::CallOptions{std::string(op->name), Dump(input), limits},
                                no_input, out, err);
  if (exit == cli::kExitNoDatabase) {
    HttpResponse response = ErrorResponse(503, "the database cannot be reached");
    response.database_error = true;
    return response;
  }
  if (exit == cli::kExitUsage) {
    std::string message = err.str();
    if (message.starts_with("zebevi: ")) message.erase(0, 8);
    while (!message.empty() && message.back() == '\n') message.pop_back();
    return ErrorResponse(400, message);
  }
  Json answer = Json::parse(out.str(), nullptr, /*allow_exceptions=*/false);
  if (answer.is_discarded()) return ErrorResponse(500, "internal error");
  if (answer["params"].contains(kConnectionString)) {
    answer["params"][std::string(kConnectionString)] = cli::TaggedJson(Value());
  }
  // A failed call status: the component itself could not complete the call.
  if (exit == cli::kExitFailedCall) return JsonAnswer(500, answer);
  return JsonAnswer(StatusOfAnswer(*op, answer), answer);
}

}  // namespace

void AddCallEndpoint(Router& router, const Backend& backend) {
  router.Add(
      Route{.method = "POST",
            .pattern = "/v1/call/{operation}",
            .handler = [&backend](const RouteContext& context) { return Call(backend, context); },
            .needs_key = true,
            .on_worker = true,
            .deadline = std::nullopt});
}

}  // namespace zebevi::service
