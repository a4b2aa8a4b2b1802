// Lays a spool file out as pages of text lines.
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
// convert them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelprint {

struct Page {
  int length = 0;                  // lines the page was started with
  std::vector<std::string> lines;  // code page 850, no trailing line ends
};

struct Document {
  std::string device;  // text of the DEVICE record
  std::vector<Page> pages;
  int badRecords = 0;  // lines that were not records of any known kind
};

// Lays out the whole spool text (CR LF or LF line ends).
Document LayOutSpool(std::string_view spool);

// The widest line and the most lines of any page (at least its length).
int DocumentColumns(const Document& doc);
int DocumentRows(const Document& doc);

}  // namespace kelprint
