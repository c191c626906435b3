#include "cli/print_json.h"

#include <ostream>

namespace zebevi::cli {

void PrintJson(std::ostream& out, const Json& json) {
  out << json.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace zebevi::cli
