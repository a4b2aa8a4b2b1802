// The print spool writer.
//
// The program never talks to a printer: a printout is written as a
// line-oriented command file, SessionDir + "kelprint.tmp", that the print
// program KELPRINT turns into pages (doc/spool-format.md).  One printout at a
// time:
//
//   closed --OpenSpool--> open --SpoolPage/Justify/Control/Text--> open
//          <--CloseSpool--
//
// Page length, lines used and current column live across printouts; each
// printout sets them with its first SpoolPage.  Writing problems are not lost:
// the first failure is remembered and CloseSpool reports it, so that no print
// program is started on a broken spool.  The spool is written under a new
// name and takes its own only when CloseSpool has written its last record,
// "END", and synced it: a spool under the final name is always complete, and
// the print program refuses one without its end.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/new_file.h"

namespace print {

struct SpoolState {
  std::unique_ptr<platform::NewFile> newFile;
  std::FILE* file = nullptr;  // newFile's, while a spool is open
  int pageLength = 0;     // last length given to SpoolPage
  int linesUsed = 0;      // line advances since the last page record
  int currentColumn = 0;  // where a text at column 0 with advance 0 starts
  bool failed = false;    // a write since OpenSpool did not succeed
  // Records not yet handed to the file: the first pendingUsed bytes.
  std::vector<char> pending;
  size_t pendingUsed = 0;
  // Justification texts already seen, with their codes.
  std::vector<std::pair<std::string, std::string>> justifications;
};
// The reset of the program state (platform/program_state.h) closes any
// open spool file and clears the state.
SpoolState& Spool();

// The spool file's path as the system names it.
std::string SpoolPath();

// The device that asks the print program for a preview on the screen instead
// of paper: the print program then needs the terminal.  Case and
// surrounding spaces do not count.
inline constexpr char kScreenDevice[] = "PANTALLA";
bool IsScreenDevice(std::string_view device);

// Starts a new spool file and writes "DEVICE" + device.  False when the
// file cannot be created (nothing is open then).  A spool left open by an
// earlier printout is abandoned.
bool OpenSpool(std::string_view device);
void SpoolPage(int pageLength);
// Normalises justification to its code, stores the code back into it and
// writes the justification record.
void SpoolJustify(std::string& justification);
// Writes "*" + text; the text's bytes pass unchanged but for CR and LF,
// which become spaces (as in the device text).
void SpoolControl(std::string_view text);
// Writes a text record at column with a line advance; the caller's text is
// not changed (control bytes become spaces in the record only).
void SpoolText(int column, std::string_view text, int advance);
// Writes a QR code record: the code of `text` (bytes 32-126 kept, others
// become spaces) drawn `sizeMm` wide with its legends, its block starting
// at `column` on the line `line` lines below the current one.  The layout
// keeps `freeColumns` columns from `column` on (0: every column from it to
// the line's end) blank on the lines the block covers.  A `note` that is
// not empty follows as its own record, printed under the legend below the
// code.  Neither record moves the current line or column.
void SpoolQrCode(int column, int line, int sizeMm, int freeColumns, std::string_view text,
                 std::string_view note);
// Writes the end record and puts the spool in place under its name.  False
// when the file was never open or any record, the sync or the rename
// failed: then whatever was under the name stays as it was.
inline constexpr char kSpoolEndRecord[] = "END";
bool CloseSpool();
// Drops the spool being written (a cycle that must not be printed): the
// spool of an earlier printout stays under the name as it was.
void AbandonSpool();
bool CloseSpool();

// The tags of the QR code record and of its note.
inline constexpr char kQrRecord[] = "QR";
inline constexpr char kQrNoteRecord[] = "QRNOTE";

// A number as the spool writes it: sign position, digits, one space.
std::string SpoolNumber(int value);

}  // namespace print
