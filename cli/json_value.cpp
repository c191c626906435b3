#include "cli/json_value.h"

#include <cmath>
#include <cstdio>
#include <istream>
#include <ostream>
#include <iterator>
#include <limits>

#include "zebevi/date.h"
#include "zebevi/error.h"

namespace zebevi::cli {
namespace {

constexpr std::size_t kExcerptBytes = 40;

Value TaggedValue(const Json& json) {
  const Json& type = json.at("type");
  if (!type.is_string()) throw UsageError("\"type\" must be a text");
  const std::string kind = type.get<std::string>();
  // Read in place: a copy per level would make nested arrays quadratic.
  const auto found = json.find("value");
  const bool has_value = found != json.end();
  static const Json kNoValue;
  const Json& value = has_value ? *found : kNoValue;
  auto need = [&](bool ok) {
    if (!has_value || !ok) throw UsageError("a " + kind + " needs a fitting \"value\"");
  };
  if (kind == "Empty") return Value();
  if (kind == "Null") return Value::Null();
  if (kind == "Int16") {
    need(value.is_number_integer() && value.get<std::int64_t>() >= -32768 &&
         value.get<std::int64_t>() <= 32767);
    return Value::Int16(static_cast<std::int16_t>(value.get<std::int64_t>()));
  }
  if (kind == "Int32") {
    need(value.is_number_integer() &&
         value.get<std::int64_t>() >= std::numeric_limits<std::int32_t>::min() &&
         value.get<std::int64_t>() <= std::numeric_limits<std::int32_t>::max());
    return Value::Int32(static_cast<std::int32_t>(value.get<std::int64_t>()));
  }
  if (kind == "Double") {
    need(value.is_number());
    return Value::Double(value.get<double>());
  }
  if (kind == "Date") {
    need(value.is_string());
    const auto parts = ParseIsoDate(value.get<std::string>());
    if (!parts) throw UsageError("a Date is written \"YYYY-MM-DDTHH:MM:SS\"");
    return Value::Date(DaysFromParts(*parts));
  }
  if (kind == "String") {
    need(value.is_string());
    return Value::String(value.get<std::string>());
  }
  if (kind == "Boolean") {
    need(value.is_boolean());
    return Value::Boolean(value.get<bool>());
  }
  if (kind == "Array") {
    need(value.is_array());
    ValueArray items;
    for (const Json& item : value) items.push_back(ValueFromJson(item));
    return Value::Array(std::move(items));
  }
  throw UsageError("unknown type " + JsonExcerpt(type));
}

std::string IsoDate(double days) {
  const DateParts p = PartsFromDays(days);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  return text;
}

Json Tagged(std::string_view type) { return Json{{"type", type}}; }

template <class T>
Json Tagged(std::string_view type, T value) {
  return Json{{"type", type}, {"value", std::move(value)}};
}

}  // namespace

Json ParseJsonInput(std::string_view text, const JsonLimits& limits) {
  if (text.size() > limits.max_bytes) {
    throw UsageError("the input is larger than " + std::to_string(limits.max_bytes) + " bytes");
  }
  // The parser itself keeps its own stack; the depth is bounded here so that
  // what reads, prints or destroys the tree afterwards stays shallow.
  const auto depth_check = [&](int depth, Json::parse_event_t event, Json&) {
    if ((event == Json::parse_event_t::object_start ||
         event == Json::parse_event_t::array_start) &&
        depth >= limits.max_depth) {
      throw UsageError("the input nests deeper than " + std::to_string(limits.max_depth) +
                       " levels");
    }
    return true;
  };
  Json json = Json::parse(text.begin(), text.end(), depth_check, /*allow_exceptions=*/false);
  if (json.is_discarded()) throw UsageError("the input is not valid JSON");
  return json;
}

Json ParseJsonInput(std::istream& in, const JsonLimits& limits) {
  std::string text;
  std::istreambuf_iterator<char> it(in), end;
  // One byte past the limit is enough to know the input is too large.
  while (it != end && text.size() <= limits.max_bytes) text.push_back(*it++);
  return ParseJsonInput(text, limits);
}

std::string CompactJson(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string JsonExcerpt(const Json& json) {
  std::string text = CompactJson(json);
  if (text.size() <= kExcerptBytes) return text;
  std::size_t cut = kExcerptBytes;
  // Never split a UTF-8 sequence.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
  return text + "\u2026";
}

Value ValueFromJson(const Json& json) {
  switch (json.type()) {
    case Json::value_t::string:
      return Value::String(json.get<std::string>());
    case Json::value_t::boolean:
      return Value::Boolean(json.get<bool>());
    case Json::value_t::null:
      return Value::Null();
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned: {
      if (json.is_number_integer() && !json.is_number_unsigned()) {
        const auto n = json.get<std::int64_t>();
        if (n >= std::numeric_limits<std::int32_t>::min() &&
            n <= std::numeric_limits<std::int32_t>::max()) {
          return Value::Int32(static_cast<std::int32_t>(n));
        }
      } else if (json.get<std::uint64_t>() <=
                 static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        return Value::Int32(static_cast<std::int32_t>(json.get<std::uint64_t>()));
      }
      return Value::Double(json.get<double>());
    }
    case Json::value_t::number_float:
      return Value::Double(json.get<double>());
    case Json::value_t::object:
      if (json.contains("type")) return TaggedValue(json);
      break;
    default:
      break;
  }
  throw UsageError("cannot read " + JsonExcerpt(json) + " as a value");
}

Json TaggedJson(const Value& value) {
  const std::string_view type = KindName(value.kind());
  switch (value.kind()) {
    case Kind::kEmpty:
    case Kind::kNull:
    case Kind::kObject:
      return Tagged(type);
    case Kind::kInt16:
      return Tagged(type, value.int16());
    case Kind::kInt32:
      return Tagged(type, value.int32());
    case Kind::kDouble:
      return Tagged(type, value.dbl());
    case Kind::kDate:
      return Tagged(type, IsoDate(value.date()));
    case Kind::kString:
      return Tagged(type, value.string());
    case Kind::kBoolean:
      return Tagged(type, value.boolean());
    case Kind::kArray: {
      Json items = Json::array();
      for (const Value& item : value.array()) items.push_back(TaggedJson(item));
      return Tagged(type, std::move(items));
    }
  }
  return Tagged(type);
}

Argument ArgumentFromJson(const Json& json, ParamKind kind) {
  const Value value = ValueFromJson(json);
  try {
    switch (kind) {
      case ParamKind::kValue:
      case ParamKind::kObject:
        return value;
      case ParamKind::kString:
        return ToString(value);
      case ParamKind::kInt32:
        return ToInt32(value);
      case ParamKind::kInt32Array: {
        if (value.kind() == Kind::kEmpty) return Int32Array();
        if (value.kind() != Kind::kArray) throw UsageError("an array of integers is expected");
        std::vector<std::int32_t> items;
        for (const Value& item : value.array()) items.push_back(ToInt32(item));
        return Int32Array(std::move(items));
      }
      case ParamKind::kDbConnection:
        break;
    }
  } catch (const Error& e) {
    throw UsageError(JsonExcerpt(json) + ": " + e.description());
  }
  throw UsageError("a connection is given as a connection string");
}

Json TaggedJson(const Argument& argument) {
  if (const auto* value = std::get_if<Value>(&argument)) return TaggedJson(*value);
  if (const auto* text = std::get_if<std::string>(&argument)) return Tagged("String", *text);
  if (const auto* number = std::get_if<std::int32_t>(&argument)) return Tagged("Int32", *number);
  if (const auto* array = std::get_if<Int32Array>(&argument)) {
    if (!*array) return Tagged("Empty");
    Json items = Json::array();
    for (std::int32_t item : **array) items.push_back(Tagged("Int32", item));
    return Tagged("Array", std::move(items));
  }
  const auto& connection = std::get<DbConnectionRef>(argument);
  return Tagged(connection ? "Object" : "Empty");
}

namespace {

// Writes the elements of an array one by one, each as `write` writes it.
template <class Items, class Write>
void WriteTaggedArray(std::ostream& out, const Items& items, Write write) {
  out << R"({"type":"Array","value":[)";
  bool first = true;
  for (const auto& item : items) {
    if (!first) out << ',';
    first = false;
    write(item);
  }
  out << "]}";
}

void WriteTaggedValue(std::ostream& out, const Value& value) {
  if (value.kind() != Kind::kArray) {
    out << CompactJson(TaggedJson(value));
    return;
  }
  WriteTaggedArray(out, value.array(), [&](const Value& item) { WriteTaggedValue(out, item); });
}

}  // namespace

void WriteTaggedJson(std::ostream& out, const Argument& argument) {
  if (const auto* value = std::get_if<Value>(&argument)) return WriteTaggedValue(out, *value);
  if (const auto* array = std::get_if<Int32Array>(&argument); array && *array) {
    return WriteTaggedArray(out, **array, [&](std::int32_t item) {
      out << CompactJson(Tagged("Int32", item));
    });
  }
  out << CompactJson(TaggedJson(argument));
}

}  // namespace zebevi::cli
