#include "cli/text_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>

namespace zebevi::cli {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Marks that sit on the previous character, and invisible format characters.
constexpr std::array<Range, 8> kZeroWidth{{{0x0300, 0x036F},
                                           {0x0483, 0x0489},
                                           {0x1AB0, 0x1AFF},
                                           {0x1DC0, 0x1DFF},
                                           {0x200B, 0x200F},
                                           {0x20D0, 0x20FF},
                                           {0xFE00, 0xFE0F},
                                           {0xFE20, 0xFE2F}}};

// East Asian wide and full-width characters, and pictographs.
constexpr std::array<Range, 11> kDoubleWidth{{{0x1100, 0x115F},
                                              {0x2E80, 0x303E},
                                              {0x3041, 0xA4CF},
                                              {0xAC00, 0xD7A3},
                                              {0xF900, 0xFAFF},
                                              {0xFE30, 0xFE4F},
                                              {0xFF00, 0xFF60},
                                              {0xFFE0, 0xFFE6},
                                              {0x1F300, 0x1F64F},
                                              {0x1F900, 0x1F9FF},
                                              {0x20000, 0x3FFFD}}};

bool In(const auto& ranges, char32_t c) {
  return std::any_of(ranges.begin(), ranges.end(),
                     [c](const Range& r) { return c >= r.first && c <= r.last; });
}

std::size_t CodePointWidth(char32_t c) {
  if (In(kZeroWidth, c)) return 0;
  return In(kDoubleWidth, c) ? 2 : 1;
}

std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead >> 5) == 0x6) return 2;
  if ((lead >> 4) == 0xE) return 3;
  if ((lead >> 3) == 0x1E) return 4;
  return 0;
}

// Decodes one UTF-8 sequence at `text[i]` into `c` and moves `i` past it.
// False for a malformed sequence; `i` then moves one byte.
bool Decode(std::string_view text, std::size_t& i, char32_t& c) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  const std::size_t length = SequenceLength(lead);
  if (length == 0 || i + length > text.size()) {
    ++i;
    return false;
  }
  c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return false;
    }
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  i += length;
  return true;
}

}  // namespace

std::size_t DisplayWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    if (utf8[i] == '\x1b' && i + 1 < utf8.size() && utf8[i + 1] == '[') {
      // A terminal control sequence ends at its first byte from '@' to '~'.
      i += 2;
      while (i < utf8.size() && (utf8[i] < '@' || utf8[i] > '~')) ++i;
      ++i;
      continue;
    }
    char32_t c = 0;
    width += Decode(utf8, i, c) ? CodePointWidth(c) : 1;
  }
  return width;
}

std::string Pad(std::string_view text, std::size_t width, Align align) {
  const std::size_t used = DisplayWidth(text);
  const std::string fill(width > used ? width - used : 0, ' ');
  return align == Align::kLeft ? std::string(text) + fill : fill + std::string(text);
}

void AlignDecimalCommas(std::vector<std::string>& numbers) {
  // Columns from the comma to the end of each number; 0 without one.
  const auto fraction = [](const std::string& n) {
    const std::size_t comma = n.rfind(',');
    return comma == std::string::npos ? 0 : DisplayWidth(std::string_view(n).substr(comma));
  };
  std::size_t widest = 0;
  for (const std::string& n : numbers) widest = std::max(widest, fraction(n));
  for (std::string& n : numbers) n += std::string(widest - fraction(n), ' ');
}

void Table::AddColumn(std::string header, Align align) {
  columns_.push_back({std::move(header), align});
}

void Table::AddRow(std::vector<std::string> cells) {
  cells.resize(columns_.size());
  rows_.push_back(std::move(cells));
}

void Table::Render(std::ostream& out, const TextStyle& style, std::size_t indent) const {
  std::vector<std::vector<std::string>> rows = rows_;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    if (columns_[c].align != Align::kDecimal) continue;
    std::vector<std::string> numbers;
    for (const auto& row : rows) numbers.push_back(row[c]);
    AlignDecimalCommas(numbers);
    for (std::size_t r = 0; r < rows.size(); ++r) rows[r][c] = std::move(numbers[r]);
  }
  std::vector<std::size_t> widths;
  for (const Column& column : columns_) widths.push_back(DisplayWidth(column.header));
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
  }
  const auto line = [&](const std::vector<std::string>& cells, auto decorate) {
    std::string text(indent, ' ');
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const bool last = c + 1 == cells.size();
      const Align align = columns_[c].align;
      // The last column, when left-aligned, needs no filling after it.
      const std::string cell =
          last && align == Align::kLeft ? cells[c] : Pad(cells[c], widths[c], align);
      text += decorate(cell);
      if (!last) text += "  ";
    }
    // Blanks after the numbers of a last decimal column show nothing.
    if (columns_.back().align == Align::kDecimal) text.erase(text.find_last_not_of(' ') + 1);
    out << text << '\n';
  };
  std::vector<std::string> headers;
  std::vector<std::string> rules;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    headers.push_back(columns_[c].header);
    std::string rule;
    for (std::size_t k = 0; k < widths[c]; ++k) rule += "─";
    rules.push_back(rule);
  }
  line(headers, [&](const std::string& cell) { return style.Title(cell); });
  line(rules, [&](const std::string& cell) { return style.Muted(cell); });
  for (const auto& row : rows) line(row, [](const std::string& cell) { return cell; });
}

void RenderFields(std::ostream& out, const Fields& fields, const TextStyle& style,
                  std::size_t indent) {
  std::size_t width = 0;
  for (const auto& [label, value] : fields) width = std::max(width, DisplayWidth(label));
  for (const auto& [label, value] : fields) {
    // An empty value gets no filling, so the line does not end in blanks.
    const std::string shown = value.empty() ? label : Pad(label, width);
    // Blanks after a value aligned on its decimal comma show nothing.
    const std::string_view kept =
        std::string_view(value).substr(0, value.find_last_not_of(' ') + 1);
    out << std::string(indent, ' ') << style.Muted(shown) << (value.empty() ? "" : "  ") << kept
        << '\n';
  }
}

std::string Bar(double value, double max, std::size_t width) {
  static constexpr std::array<std::string_view, 8> kEighths{"", "▏", "▎", "▍", "▌", "▋", "▊", "▉"};
  if (!(value > 0) || !(max > 0)) return "";
  const double eighths = std::min(value / max, 1.0) * static_cast<double>(width) * 8;
  const auto whole = static_cast<std::size_t>(std::max(1.0, std::round(eighths)));
  std::string bar;
  for (std::size_t k = 0; k < whole / 8; ++k) bar += "█";
  bar += kEighths[whole % 8];
  return bar;
}

}  // namespace zebevi::cli
