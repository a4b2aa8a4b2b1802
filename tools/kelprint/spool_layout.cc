// Spool records to page cells: a small state machine over the records
// (page, line, position, justification).
#include "spool_layout.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace kelprint {
namespace {

// Far beyond any printed column or line; keeps a damaged spool from asking
// for huge lines.
constexpr int kMaxColumn = 1000;
constexpr int kMaxLine = 10000;

struct Justification {
  char code = 'E';
  int fillTo = 0;
  std::string pattern;
};

Justification ParseJustification(std::string_view code) {
  Justification j;
  j.code = code.empty() ? 'E' : code[0];
  if (j.code == 'N') {
    j.fillTo = std::clamp(std::atoi(std::string(code.substr(1)).c_str()), 0, kMaxColumn);
    size_t open = code.find('\\');
    size_t close = open == std::string_view::npos ? open : code.find('\\', open + 1);
    if (close != std::string_view::npos) j.pattern = code.substr(open + 1, close - open - 1);
  }
  return j;
}

class Layout {
 public:
  Document Finish() { return std::move(doc_); }

  void Record(std::string_view line) {
    if (line.starts_with("DEVICE")) {
      doc_.device = line.substr(6);
    } else if (line.starts_with("PAGE")) {
      doc_.pages.push_back(Page{std::atoi(std::string(line.substr(4)).c_str()), {}});
      line_ = 0;
      position_ = 1;
    } else if (line.starts_with("JUS")) {
      Justification j = ParseJustification(line.substr(3));
      if (j.code == 'N') {
        fill_ = j;
      } else {
        justification_ = j;
      }
    } else if (line.starts_with("*")) {
      // Printer commands ("@e": reset) mean nothing on a laid-out page.
    } else if (!Text(line)) {
      ++doc_.badRecords;
    }
  }

 private:
  bool Text(std::string_view line) {
    size_t first = line.find(',');
    size_t last = line.rfind(',');
    if (first == std::string_view::npos || first == last) return false;
    int column = std::atoi(std::string(line.substr(0, first)).c_str());
    int advance = std::atoi(std::string(line.substr(last + 1)).c_str());
    Place(std::clamp(column, 0, kMaxColumn), line.substr(first + 1, last - first - 1));
    if (advance != 0) {
      line_ = std::clamp(line_ + advance, 0, kMaxLine);
      position_ = 1;
    }
    return true;
  }

  void Place(int column, std::string_view text) {
    const int width = static_cast<int>(text.size());
    int start = position_;
    if (column > 0) {
      start = justification_.code == 'C' ? column - width / 2 : column;
    }
    start = std::max(start, 1);
    for (int i = 0; i < width && start + i <= kMaxColumn; ++i) Put(start + i, text[i]);
    position_ = std::min(start + width, kMaxColumn);
    if (fill_) {
      const std::string& p = fill_->pattern;
      for (int x = position_; x <= fill_->fillTo && !p.empty(); ++x) Put(x, p[(x - 1) % p.size()]);
      position_ = std::max(position_, fill_->fillTo + 1);  // what follows comes after the fill
      fill_.reset();
    }
  }

  void Put(int column, char c) {
    if (doc_.pages.empty()) doc_.pages.push_back(Page{});
    std::vector<std::string>& lines = doc_.pages.back().lines;
    if (static_cast<int>(lines.size()) <= line_) lines.resize(static_cast<size_t>(line_) + 1);
    std::string& l = lines[static_cast<size_t>(line_)];
    if (static_cast<int>(l.size()) < column) l.resize(static_cast<size_t>(column), ' ');
    l[static_cast<size_t>(column - 1)] = c;
  }

  Document doc_;
  Justification justification_;        // E, D, C or A: until the next one
  std::optional<Justification> fill_;   // N: for the next text only
  int line_ = 0;
  int position_ = 1;
};

}  // namespace

Document LayOutSpool(std::string_view spool) {
  Layout layout;
  size_t pos = 0;
  while (pos < spool.size()) {
    size_t end = spool.find('\n', pos);
    if (end == std::string_view::npos) end = spool.size();
    std::string_view line = spool.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) layout.Record(line);
    pos = end + 1;
  }
  return layout.Finish();
}

int DocumentColumns(const Document& doc) {
  size_t widest = 0;
  for (const Page& p : doc.pages) {
    for (const std::string& l : p.lines) widest = std::max(widest, l.size());
  }
  return static_cast<int>(widest);
}

int DocumentRows(const Document& doc) {
  int rows = 0;
  for (const Page& p : doc.pages) rows = std::max({rows, p.length, static_cast<int>(p.lines.size())});
  return rows;
}

}  // namespace kelprint
