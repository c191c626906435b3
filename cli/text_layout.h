// Plain-text layout for people: widths that count what a terminal shows
// (an accented letter is one column, a combining mark none, a wide CJK
// character two), aligned tables, label/value blocks and bars measured in
// eighths of a column.
#ifndef ZEBEVI_CLI_TEXT_LAYOUT_H_
#define ZEBEVI_CLI_TEXT_LAYOUT_H_

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/text_style.h"

namespace zebevi::cli {

// Terminal columns of a UTF-8 text. A byte that is not valid UTF-8 counts
// as one column; terminal control sequences (colour) count as none.
std::size_t DisplayWidth(std::string_view utf8);

// kDecimal: right-aligned with the decimal commas of a column in one line
// (a whole number ends where the others' commas stand).
enum class Align { kLeft, kRight, kDecimal };

// `text` filled with blanks to `width` columns; a wider text is kept whole.
std::string Pad(std::string_view text, std::size_t width, Align align = Align::kLeft);

// `numbers` (Brazilian: "3363,328", "5468,79", "106") filled with blanks
// after them so that, right-aligned, their decimal commas stand in one column.
void AlignDecimalCommas(std::vector<std::string>& numbers);

// Columns two blanks apart under a header line and a rule. Rows shorter
// than the header get empty cells. No line ends in blanks.
class Table {
 public:
  void AddColumn(std::string header, Align align = Align::kLeft);
  void AddRow(std::vector<std::string> cells);
  bool empty() const { return rows_.empty(); }
  void Render(std::ostream& out, const TextStyle& style, std::size_t indent = 2) const;

 private:
  struct Column {
    std::string header;
    Align align;
  };
  std::vector<Column> columns_;
  std::vector<std::vector<std::string>> rows_;
};

// "label  value" lines, the labels padded to the widest one.
using Fields = std::vector<std::pair<std::string, std::string>>;
void RenderFields(std::ostream& out, const Fields& fields, const TextStyle& style,
                  std::size_t indent = 2);

// A bar `value / max` of `width` columns long, drawn with block characters
// to the nearest eighth of a column. A positive value never draws as
// nothing; zero, a negative value or a max of zero draw as nothing.
std::string Bar(double value, double max, std::size_t width);

}  // namespace zebevi::cli

#endif  // ZEBEVI_CLI_TEXT_LAYOUT_H_
