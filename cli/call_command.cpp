#include "cli/call_command.h"

#include <iomanip>
#include <ostream>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/json_value.h"
#include "zebevi/db.h"
#include "zebevi/dispatch.h"
#include "zebevi/error.h"

namespace zebevi::cli {
namespace {

std::string_view KindText(ParamKind kind) {
  switch (kind) {
    case ParamKind::kValue:
      return "Value";
    case ParamKind::kString:
      return "String";
    case ParamKind::kInt32:
      return "Int32";
    case ParamKind::kInt32Array:
      return "Int32[]";
    case ParamKind::kDbConnection:
      return "DbConnection";
    case ParamKind::kObject:
      return "Object";
  }
  return "?";
}

Json ReadInput(const CallOptions& options, std::istream& in) {
  Json json = options.json == "-" ? ParseJsonInput(in, options.limits)
                                  : ParseJsonInput(options.json, options.limits);
  if (!json.is_object()) throw UsageError("the parameters must be a JSON object");
  return json;
}

// Connections the command opened for the call; closed when it ends.
struct OpenedConnections {
  std::vector<DbConnectionRef> list;
  ~OpenedConnections() {
    for (const DbConnectionRef& connection : list) {
      try {
        if (connection->is_open()) connection->Close();
      } catch (const Error&) {
        // The call is over; a failing close changes nothing it answered.
      }
    }
  }
};

}  // namespace

int RunCall(const CallOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  const OperationInfo* op = FindOperation(options.operation);
  if (op == nullptr) {
    // Quoted as JSON: the name comes from the command line, escapes and all.
    err << "zebevi: unknown operation " << JsonExcerpt(Json(options.operation))
        << " (see zebevi ops)\n";
    return kExitUsage;
  }
  std::vector<Argument> args;
  OpenedConnections opened;
  try {
    const Json input = ReadInput(options, in);
    for (const auto& [name, value] : input.items()) {
      bool known = false;
      for (const ParamInfo& param : op->params) known = known || param.name == name;
      if (!known) throw UsageError(std::string(op->name) + " has no parameter " + JsonExcerpt(Json(name)));
    }
    for (const ParamInfo& param : op->params) {
      const auto given = input.find(param.name);
      if (given == input.end()) {
        args.push_back(NewArgument(param.kind));
        continue;
      }
      if (param.kind != ParamKind::kDbConnection && param.kind != ParamKind::kObject) {
        args.push_back(ArgumentFromJson(*given, param.kind));
        continue;
      }
      if (!given->is_string()) throw UsageError(std::string(param.name) + " is a connection string");
      auto connection = std::make_shared<DbConnection>();
      try {
        connection->Open(given->get<std::string>());
      } catch (const Error& e) {
        err << "zebevi: cannot open the database: " << e.description() << '\n';
        return kExitNoDatabase;
      }
      opened.list.push_back(connection);
      if (param.kind == ParamKind::kObject) {
        args.push_back(Value::Object(connection));
      } else {
        args.push_back(connection);
      }
    }
  } catch (const UsageError& e) {
    err << "zebevi: " << e.what() << '\n';
    return kExitUsage;
  }

  Json answer{{"operation", op->name}};
  int status = kExitOk;
  auto object = CreateEVI();
  try {
    const Value result = Invoke(*object, *op, args);
    answer["status"] = "ok";
    answer["result"] = TaggedJson(result);
  } catch (const Error& e) {
    answer["status"] = "failed";
    answer["error"] = Json{{"number", e.number()}, {"description", e.description()}};
    status = kExitFailedCall;
  }
  // The answer's head as one object, then the parameters one by one, so a
  // large array is never held as a JSON tree.
  std::string head = CompactJson(answer);
  head.pop_back();
  out << head << R"(,"params":{)";
  for (std::size_t i = 0; i < args.size(); ++i) {
    out << (i ? "," : "") << CompactJson(Json(op->params[i].name)) << ':';
    WriteTaggedJson(out, args[i]);
  }
  out << "}}\n";
  return status;
}

int RunOps(std::ostream& out, bool json) {
  Json operations = Json::array();
  for (const OperationInfo& op : InterfaceTable()) {
    const std::string_view result = op.result == ResultKind::kBoolean ? "Boolean" : "Value";
    if (json) {
      Json params = Json::array();
      for (const ParamInfo& param : op.params) {
        params.push_back({{"name", param.name}, {"kind", KindText(param.kind)}});
      }
      operations.push_back(
          {{"dispid", op.dispid}, {"name", op.name}, {"params", params}, {"result", result}});
      continue;
    }
    out << "0x" << std::hex << std::uppercase << op.dispid << std::dec << ' ' << op.name << '(';
    for (std::size_t i = 0; i < op.params.size(); ++i) {
      out << (i ? ", " : "") << op.params[i].name << ": " << KindText(op.params[i].kind);
    }
    out << ") -> " << result << '\n';
  }
  if (json) out << CompactJson(Json{{"operations", operations}}) << '\n';
  return kExitOk;
}

}  // namespace zebevi::cli
