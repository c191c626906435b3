#include "service/http_message.h"

#include <nlohmann/json.hpp>

namespace zebevi::service {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent-decodes `text`; in a query, '+' stands for a blank.
std::optional<std::string> Decode(std::string_view text, bool query) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      const int high = HexDigit(text[i + 1]);
      const int low = HexDigit(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else if (c == '+' && query) {
      decoded += ' ';
    } else {
      decoded += c;
    }
  }
  return decoded;
}

}  // namespace

std::optional<std::string> HttpRequest::Query(std::string_view name) const {
  for (const auto& [key, value] : query) {
    if (key == name) return value;
  }
  return std::nullopt;
}

HttpResponse ErrorResponse(int status, std::string_view message) {
  HttpResponse response;
  response.status = status;
  response.body = nlohmann::ordered_json{{"error", message}}.dump(
      -1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  return response;
}

bool ParseTarget(std::string_view target, HttpRequest& request) {
  if (target.empty() || target.front() != '/') return false;
  const std::size_t mark = target.find('?');
  std::optional<std::string> path = Decode(target.substr(0, mark), false);
  if (!path) return false;
  request.path = std::move(*path);
  request.query.clear();
  if (mark == std::string_view::npos) return true;
  std::string_view rest = target.substr(mark + 1);
  while (!rest.empty()) {
    const std::size_t amp = rest.find('&');
    const std::string_view item = rest.substr(0, amp);
    rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
    if (item.empty()) continue;
    const std::size_t eq = item.find('=');
    std::optional<std::string> key = Decode(item.substr(0, eq), true);
    std::optional<std::string> value =
        Decode(eq == std::string_view::npos ? std::string_view() : item.substr(eq + 1), true);
    if (!key || !value) return false;
    request.query.emplace_back(std::move(*key), std::move(*value));
  }
  return true;
}

}  // namespace zebevi::service
