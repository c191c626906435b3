#include "service/router.h"

namespace zebevi::service {
namespace {

std::vector<std::string> Segments(std::string_view path) {
  std::vector<std::string> segments;
  std::size_t start = 1;  // past the leading '/'
  while (start <= path.size()) {
    const std::size_t slash = path.find('/', start);
    const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
    segments.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return segments;
}

bool IsParameter(const std::string& segment) {
  return segment.size() > 2 && segment.front() == '{' && segment.back() == '}';
}

}  // namespace

void Router::Add(Route route) {
  std::vector<std::string> segments = Segments(route.pattern);
  entries_.push_back(Entry{std::move(route), std::move(segments)});
}

Router::Match Router::Find(std::string_view method, std::string_view path) const {
  Match match;
  match.status = 404;
  if (path.empty() || path.front() != '/') return match;
  const std::vector<std::string> segments = Segments(path);
  for (const Entry& entry : entries_) {
    if (entry.segments.size() != segments.size()) continue;
    std::map<std::string, std::string> params;
    bool fits = true;
    for (std::size_t i = 0; i < segments.size() && fits; ++i) {
      const std::string& expected = entry.segments[i];
      if (IsParameter(expected)) {
        fits = !segments[i].empty();
        params[expected.substr(1, expected.size() - 2)] = segments[i];
      } else {
        fits = expected == segments[i];
      }
    }
    if (!fits) continue;
    if (entry.route.method != method) {
      match.status = 405;
      continue;
    }
    match.route = &entry.route;
    match.status = 200;
    match.params = std::move(params);
    return match;
  }
  return match;
}

}  // namespace zebevi::service
