// Spool records to page cells: a small state machine over the records
// (page, line, position, justification), fed one line at a time.
#include "spool_layout.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "print/spool.h"

namespace kelprint {
namespace {

// Far beyond any printed column or line; keeps a damaged spool from asking
// for huge lines.
constexpr int kMaxColumn = 1000;
constexpr int kMaxLine = 10000;
// The rooms a survey tells apart: a spool's receipts share one layout.
constexpr size_t kMaxQrRooms = 16;

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

}  // namespace

bool PageBuilder::Record(std::string_view line) {
  const bool fresh = std::exchange(fresh_, false);
  if (ended_) return false;  // nothing may follow the end record
  if (line == print::kSpoolEndRecord) {
    ended_ = true;
  } else if (line.starts_with("DEVICE")) {
    device_ = line.substr(6);
  } else if (line.starts_with("PAGE")) {
    if (open_) finished_ = std::move(open_);
    open_ = Page{std::atoi(std::string(line.substr(4)).c_str()), {}, {}, false, {}};
    fresh_ = true;
    line_ = 0;
    position_ = 1;
  } else if (line.starts_with("JUS")) {
    Justification j = ParseJustification(line.substr(3));
    if (j.code == 'N') {
      fill_ = j;
    } else {
      justification_ = j;
    }
  } else if (line.starts_with(print::kQrNoteRecord)) {
    std::vector<QrCode>& codes = Current().codes;
    if (codes.empty()) return false;
    codes.back().note = line.substr(std::string_view(print::kQrNoteRecord).size());
  } else if (line.starts_with(print::kQrRecord)) {
    return Qr(line.substr(std::string_view(print::kQrRecord).size()));
  } else if (line.starts_with("*")) {
    Current().controls.push_back(Control{line_, std::string(line.substr(1))});
    if (fresh) Current().opensWithControl = true;
  } else {
    return Text(line);
  }
  return true;
}

std::optional<Page> PageBuilder::TakeFinished() {
  return std::exchange(finished_, std::nullopt);
}

std::optional<Page> PageBuilder::TakeOpen() {
  return std::exchange(open_, std::nullopt);
}

bool PageBuilder::Text(std::string_view line) {
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

// Column, line, size and free columns, then the text, which may hold
// commas.
bool PageBuilder::Qr(std::string_view fields) {
  int numbers[4] = {};
  for (int& number : numbers) {
    const size_t comma = fields.find(',');
    if (comma == std::string_view::npos) return false;
    number = std::atoi(std::string(fields.substr(0, comma)).c_str());
    fields.remove_prefix(comma + 1);
  }
  QrCode code;
  code.line = std::clamp(line_ + numbers[1], 0, kMaxLine);
  code.room = {std::clamp(numbers[0], 1, kMaxColumn), std::clamp(numbers[3], 0, kMaxColumn),
               numbers[2]};
  code.text = fields;
  Current().codes.push_back(std::move(code));
  return true;
}

void PageBuilder::Place(int column, std::string_view text) {
  const int width = static_cast<int>(text.size());
  int start = position_;
  if (column > 0) {
    start = justification_.code == 'C' ? column - width / 2 : column;
  }
  start = std::max(start, 1);
  Current();  // an empty text still belongs to a page
  for (int i = 0; i < width && start + i <= kMaxColumn; ++i) Put(start + i, text[i]);
  position_ = std::min(start + width, kMaxColumn);
  if (fill_) {
    const std::string& p = fill_->pattern;
    for (int x = position_; x <= fill_->fillTo && !p.empty(); ++x) Put(x, p[(x - 1) % p.size()]);
    position_ = std::max(position_, fill_->fillTo + 1);  // what follows comes after the fill
    fill_.reset();
  }
}

// Records before the first page record start a page of unknown length.
Page& PageBuilder::Current() {
  if (!open_) open_ = Page{};
  return *open_;
}

void PageBuilder::Put(int column, char c) {
  std::vector<std::string>& lines = Current().lines;
  if (static_cast<int>(lines.size()) <= line_) lines.resize(static_cast<size_t>(line_) + 1);
  std::string& l = lines[static_cast<size_t>(line_)];
  if (static_cast<int>(l.size()) < column) l.resize(static_cast<size_t>(column), ' ');
  l[static_cast<size_t>(column - 1)] = c;
}

SpoolReader::~SpoolReader() {
  if (file_ != nullptr) std::fclose(file_);
  std::free(buffer_);
}

bool SpoolReader::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "rb");
  return file_ != nullptr;
}

bool SpoolReader::ReadLine(std::string_view* line, long* offset) {
  *offset = offset_;
  ssize_t n = getline(&buffer_, &capacity_, file_);
  if (n < 0) return false;
  ++lineNumber_;
  offset_ += n;
  size_t length = static_cast<size_t>(n);
  while (length > 0 && (buffer_[length - 1] == '\n' || buffer_[length - 1] == '\r')) --length;
  *line = std::string_view(buffer_, length);
  return true;
}

bool SpoolReader::NextPage(Page* page, PageMark* mark) {
  std::string_view line;
  long offset = 0;
  while (file_ != nullptr && ReadLine(&line, &offset)) {
    if (line.empty()) continue;
    const PageMark before{offset, lineNumber_, builder_.justification()};
    if (!builder_.Record(line) && badLineNumber_ == 0) {
      badLineNumber_ = lineNumber_;
      badLine_ = line;
    }
    PageMark started = openMark_;
    if (line.starts_with("PAGE")) openMark_ = before;
    if (std::optional<Page> done = builder_.TakeFinished()) {
      *page = std::move(*done);
      if (mark != nullptr) *mark = started;
      return true;
    }
  }
  if (std::optional<Page> last = builder_.TakeOpen()) {
    *page = std::move(*last);
    if (mark != nullptr) *mark = openMark_;
    return true;
  }
  return false;
}

void SpoolReader::Seek(const PageMark& mark) {
  if (file_ == nullptr) return;
  std::fseek(file_, mark.offset, SEEK_SET);
  offset_ = mark.offset;
  lineNumber_ = mark.lineNumber - 1;
  builder_.TakeOpen();
  builder_.TakeFinished();
  builder_.set_justification(mark.justification);
  openMark_ = mark;
}

bool SurveySpool(const std::string& path, bool keepMarks, SpoolSurvey* survey) {
  SpoolReader reader;
  if (!reader.Open(path)) return false;
  Page page;
  PageMark mark;
  while (reader.NextPage(&page, &mark)) {
    ++survey->pageCount;
    if (keepMarks) survey->marks.push_back(mark);
    if (page.opensWithControl) ++survey->receipts;
    survey->rows = std::max({survey->rows, page.length, static_cast<int>(page.lines.size())});
    for (const std::string& l : page.lines) {
      survey->columns = std::max(survey->columns, static_cast<int>(l.size()));
    }
    for (const QrCode& code : page.codes) {
      std::vector<QrRoom>& rooms = survey->qrRooms;
      if (rooms.size() < kMaxQrRooms &&
          std::find(rooms.begin(), rooms.end(), code.room) == rooms.end()) {
        rooms.push_back(code.room);
      }
    }
  }
  survey->device = reader.device();
  survey->complete = reader.ended();
  survey->badLineNumber = reader.badLineNumber();
  survey->badLine = reader.badLine();
  return true;
}

}  // namespace kelprint
