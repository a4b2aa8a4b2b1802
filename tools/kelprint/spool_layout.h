// Lays a spool file out as pages of text lines, one page at a time.
//
// The spool (doc/spool-format.md) says what goes where: page records start
// pages, text records place a text at a column with a line advance, and the
// justification records decide how a text sits at its column:
//   E, A, D  the text starts at the column.  D asks for the text to be
//            right-justified within its own width, which lines digits up in
//            a proportional font; on these monospaced pages it is the same
//   C        the text is centred on the column
//   N n \p\  the next text starts at the column and is followed by the
//            pattern p, repeated and aligned to the page's columns, up to
//            column n; a text that continues the line starts after the
//            fill.  It applies to that one text: the justification before
//            it holds again for the texts after it
// Column 0 continues where the previous text of the line ended.  Later texts
// overwrite earlier cells.  Lines stay code page 850 bytes; the writers
// convert them.  Control records (printer commands) are kept with the line
// they arrived on, for the writers that send them to a printer; QR code
// records with the line they start on, for the writers to draw (qr_code.h).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelprint {

struct Control {
  int line = 0;       // the page line the command came before
  std::string bytes;  // the record's bytes after the "*"
};

// The room a layout keeps for a QR code: its block starts at `column`, and
// `freeColumns` columns from there (0: every column to the line's end) are
// blank on the lines it covers.
struct QrRoom {
  int column = 1;
  int freeColumns = 0;
  int sizeMm = 0;  // the code's side as the spool asks for it
  bool operator==(const QrRoom&) const = default;
};

struct QrCode {
  int line = 0;  // the page line of the block's first line (its heading)
  QrRoom room;
  std::string text;  // what the code holds: printable ASCII
  std::string note;  // printed under the code's legend; code page 850
};

struct Page {
  int length = 0;                  // lines the page was started with
  std::vector<std::string> lines;  // code page 850, no trailing line ends
  std::vector<Control> controls;   // in spool order
  bool opensWithControl = false;   // the page record was followed by a command
  std::vector<QrCode> codes;       // in spool order
};

// How the texts that follow are placed (a JUS record).
struct Justification {
  char code = 'E';
  int fillTo = 0;
  std::string pattern;
};

// Where a page record sits in the spool file and the justification in force
// there, so that the page can be laid out again on its own.
struct PageMark {
  long offset = 0;
  long lineNumber = 0;  // 1-based number of the page record's line
  Justification justification;
};

// The record-by-record layout: feed it lines, take the pages it completes.
class PageBuilder {
 public:
  // Lays out one record (a line without its line end).  Returns false for a
  // line that is no record of any known kind.
  bool Record(std::string_view line);
  // The page that a page record closed, if any; it is handed over once.
  std::optional<Page> TakeFinished();
  // The page still open at the end of the spool, if any.
  std::optional<Page> TakeOpen();
  const std::string& device() const { return device_; }
  // The end record was read: the writer finished the spool.
  bool ended() const { return ended_; }
  const Justification& justification() const { return justification_; }
  void set_justification(const Justification& j) { justification_ = j; }

 private:
  bool Text(std::string_view line);
  bool Qr(std::string_view fields);
  void Place(int column, std::string_view text);
  void Put(int column, char c);
  Page& Current();

  std::string device_;
  std::optional<Page> open_;
  std::optional<Page> finished_;
  bool ended_ = false;
  bool fresh_ = false;                 // no record yet after the page record
  Justification justification_;        // E, D, C or A: until the next one
  std::optional<Justification> fill_;  // N: for the next text only
  int line_ = 0;
  int position_ = 1;
};

// Reads a spool file page by page; only the page being laid out is held.
class SpoolReader {
 public:
  SpoolReader() = default;
  ~SpoolReader();
  SpoolReader(const SpoolReader&) = delete;
  SpoolReader& operator=(const SpoolReader&) = delete;

  bool Open(const std::string& path);
  // The next page and where it started; false after the last one.
  bool NextPage(Page* page, PageMark* mark = nullptr);
  // Goes back to a page found before, for NextPage to lay it out again.
  void Seek(const PageMark& mark);
  const std::string& device() const { return builder_.device(); }
  bool ended() const { return builder_.ended(); }
  // The first line that was no record, 0 when there was none.
  long badLineNumber() const { return badLineNumber_; }
  const std::string& badLine() const { return badLine_; }

 private:
  bool ReadLine(std::string_view* line, long* offset);

  std::FILE* file_ = nullptr;
  char* buffer_ = nullptr;
  size_t capacity_ = 0;
  long offset_ = 0;  // of the next line; kept here, as ftell would cost a call a line
  long lineNumber_ = 0;
  PageBuilder builder_;
  PageMark openMark_;
  long badLineNumber_ = 0;
  std::string badLine_;
};

// What one pass over the spool finds: the device, the pages (and, when
// asked for, every page's mark: the preview's way back to a page), the
// receipts (pages that open with a printer command, as every receipt
// layout's pages do; a page started because the previous one was full
// continues a receipt), the size the widest and longest page need, and the
// rooms the QR codes are given.
struct SpoolSurvey {
  std::string device;
  bool complete = false;  // the spool ends with its end record
  long pageCount = 0;
  std::vector<PageMark> marks;
  int receipts = 0;
  int columns = 0;
  int rows = 0;
  std::vector<QrRoom> qrRooms;  // each different room once
  long badLineNumber = 0;
  std::string badLine;
};

// False when the file cannot be read.
bool SurveySpool(const std::string& path, bool keepMarks, SpoolSurvey* survey);

}  // namespace kelprint
