#include "cli/progress_bar.h"

#include <algorithm>
#include <ostream>

namespace zebevi::cli {
namespace {

constexpr int kBarWidth = 30;

int Percent(std::int64_t done, std::int64_t total) {
  if (total <= 0) return 100;
  return static_cast<int>(std::clamp<std::int64_t>(done * 100 / total, 0, 100));
}

}  // namespace

ProgressBar::ProgressBar(std::ostream& out, bool terminal, std::string label)
    : out_(out), terminal_(terminal), label_(std::move(label)) {}

ProgressBar::~ProgressBar() {
  // "\x1b[2K" erases the whole line, whatever its length was.
  if (shown_percent_ >= 0) out_ << "\r\x1b[2K" << std::flush;
}

void ProgressBar::Update(std::int64_t done, std::int64_t total) {
  if (!terminal_) return;
  const int percent = Percent(done, total);
  if (percent == shown_percent_) return;
  shown_percent_ = percent;
  out_ << '\r' << Line(label_, done, total, kBarWidth) << std::flush;
}

std::string ProgressBar::Line(std::string_view label, std::int64_t done, std::int64_t total,
                              int width) {
  const int percent = Percent(done, total);
  const int filled = percent * width / 100;
  std::string line(label);
  line += "  [";
  for (int k = 0; k < width; ++k) line += k < filled ? "█" : "░";
  line +=
      "]  " + std::to_string(percent) + "%  " + std::to_string(done) + "/" + std::to_string(total);
  return line;
}

}  // namespace zebevi::cli
