#include "cli/plain_json.h"

#include <ostream>

namespace zebevi::cli {

Json PlainJson(const Value& value) {
  switch (value.kind()) {
    case Kind::kEmpty:
    case Kind::kNull:
    case Kind::kObject:
      return nullptr;
    case Kind::kArray: {
      Json items = Json::array();
      for (const Value& item : value.array()) items.push_back(PlainJson(item));
      return items;
    }
    default:
      // The tagged form already spells each scalar kind as JSON does.
      return TaggedJson(value).at("value");
  }
}

Json ParamsJson(const OperationCall& call, const std::vector<std::string_view>& params) {
  Json json = Json::object();
  for (std::string_view name : params) json[std::string(name)] = PlainJson(call.Get(name));
  return json;
}

Json RowsJson(const OperationCall& call, const std::vector<std::string_view>& lists) {
  Json rows = Json::array();
  const std::size_t count = lists.empty() ? 0 : call.ListSize(lists.front());
  for (std::size_t i = 0; i < count; ++i) {
    Json row = Json::object();
    for (std::string_view name : lists) row[std::string(name)] = PlainJson(call.Element(name, i));
    rows.push_back(std::move(row));
  }
  return rows;
}

Json MessageJson(const OperationCall& call) {
  const std::string message = DisplayText(call.Get("outvntMsg_ret"));
  return message.empty() ? Json(nullptr) : Json(message);
}

void PrintJson(std::ostream& out, const Json& json) {
  out << json.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace zebevi::cli
