// Laying out the table: widths first, then each line padded to them.
#include "text_table.h"

#include <algorithm>

namespace recutil {
namespace {

constexpr size_t kGutter = 2;

std::string Padded(const std::string& text, size_t width, bool right) {
  const std::string fill(width > text.size() ? width - text.size() : 0, ' ');
  return right ? fill + text : text + fill;
}

}  // namespace

void TextTable::Row(std::vector<std::string> cells) {
  cells.resize(columns_.size());
  lines_.push_back({1, std::move(cells), false});
}

void TextTable::Spanned(size_t span, std::vector<std::string> cells) {
  span = std::clamp<size_t>(span, 1, columns_.size());
  cells.resize(columns_.size() - span + 1);
  lines_.push_back({span, std::move(cells), false});
}

void TextTable::Gap() {
  lines_.push_back({1, {}, true});
}

void TextTable::Note(std::string text) {
  lines_.push_back({1, {std::move(text)}, false, true});
}

// Single cells set the widths; a label wider than the columns it spans
// widens the last of them.
std::vector<size_t> TextTable::Widths() const {
  std::vector<size_t> widths;
  for (const Column& c : columns_) widths.push_back(c.title.size());
  for (const Line& line : lines_) {
    for (size_t i = 1; i < line.cells.size(); ++i) {
      size_t& w = widths[line.span - 1 + i];
      w = std::max(w, line.cells[i].size());
    }
    if (line.span == 1 && !line.gap && !line.note) {
      widths[0] = std::max(widths[0], line.cells[0].size());
    }
  }
  for (const Line& line : lines_) {
    if (line.span == 1) continue;
    size_t room = (line.span - 1) * kGutter;
    for (size_t i = 0; i < line.span; ++i) room += widths[i];
    if (line.cells[0].size() > room) widths[line.span - 1] += line.cells[0].size() - room;
  }
  return widths;
}

std::vector<std::string> TextTable::Lines() const {
  const std::vector<size_t> widths = Widths();
  auto render = [&](size_t span, const std::vector<std::string>& cells) {
    size_t labelWidth = (span - 1) * kGutter;
    for (size_t i = 0; i < span; ++i) labelWidth += widths[i];
    std::string text = Padded(cells[0], labelWidth, span == 1 && columns_[0].right);
    for (size_t i = 1; i < cells.size(); ++i) {
      const size_t column = span - 1 + i;
      text += std::string(kGutter, ' ') + Padded(cells[i], widths[column], columns_[column].right);
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
  };
  std::vector<std::string> titles;
  for (const Column& c : columns_) titles.push_back(c.title);
  std::vector<std::string> out = {render(1, titles)};
  for (const Line& line : lines_) {
    out.push_back(line.gap ? "" : line.note ? line.cells[0] : render(line.span, line.cells));
  }
  return out;
}

}  // namespace recutil
