// Aligned columns of text for recutil's listings: each column as wide as
// its widest cell, two spaces between columns, amounts to the right.
// Cells are code page 850, one byte a character, so widths are byte counts.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace recutil {

struct Column {
  std::string title;
  bool right = false;  // numbers and amounts end at the column's right edge
};

class TextTable {
 public:
  explicit TextTable(std::vector<Column> columns) : columns_(std::move(columns)) {}

  // A row of one cell per column (missing cells are empty).
  void Row(std::vector<std::string> cells);
  // A row whose first cell, a label, takes the place of the first `span`
  // columns (a total under its receipts); the other cells follow.
  void Spanned(size_t span, std::vector<std::string> cells);
  // An empty line.
  void Gap();
  // A line of text as given, which no column's width follows.
  void Note(std::string text);

  // The title line, then the rows, without trailing spaces.
  std::vector<std::string> Lines() const;

 private:
  struct Line {
    size_t span = 1;
    std::vector<std::string> cells;
    bool gap = false;
    bool note = false;
  };
  std::vector<size_t> Widths() const;

  std::vector<Column> columns_;
  std::vector<Line> lines_;
};

}  // namespace recutil
