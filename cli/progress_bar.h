// A one-line progress bar on a terminal, redrawn in place with a carriage
// return, and erased when the work is over. When the stream is not a
// terminal it writes nothing at all, so logs and pipes stay clean.
#ifndef ZEBEVI_CLI_PROGRESS_BAR_H_
#define ZEBEVI_CLI_PROGRESS_BAR_H_

#include <cstdint>
#include <iosfwd>
#include <string>

namespace zebevi::cli {

class ProgressBar {
 public:
  ProgressBar(std::ostream& out, bool terminal, std::string label);
  ~ProgressBar();  // erases the line if one was drawn
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Redraws when the shown percentage changes.
  void Update(std::int64_t done, std::int64_t total);

  // "label  [████░░░░]  42%  2100/5000", `width` columns of bar.
  static std::string Line(std::string_view label, std::int64_t done, std::int64_t total, int width);

 private:
  std::ostream& out_;
  bool terminal_;
  std::string label_;
  int shown_percent_ = -1;
};

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_PROGRESS_BAR_H_
