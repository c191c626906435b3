// The tagged JSON input of `zebevi call` (and of request bodies): parsed
// within the default limits, each member read as a value and as an argument
// of every kind, and written back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cli/json_value.h"
#include "zebevi/dispatch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zebevi::cli;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Json input;
  try {
    input = ParseJsonInput(text, JsonLimits{});
  } catch (const UsageError&) {
    return 0;
  }
  if (!input.is_object()) return 0;
  for (const auto& [name, json] : input.items()) {
    JsonExcerpt(json);
    try {
      TaggedJson(ValueFromJson(json));
    } catch (const UsageError&) {
    }
    for (zebevi::ParamKind kind :
         {zebevi::ParamKind::kValue, zebevi::ParamKind::kString, zebevi::ParamKind::kInt32,
          zebevi::ParamKind::kInt32Array, zebevi::ParamKind::kObject}) {
      try {
        TaggedJson(ArgumentFromJson(json, kind));
      } catch (const UsageError&) {
      }
    }
  }
  return 0;
}
