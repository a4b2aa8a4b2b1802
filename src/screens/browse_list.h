// Browse lists: a framed window listing the records of one record file in
// key order, one line a record, from which the operator picks one with
// Enter.  Records are read only as far as the operator scrolls; every line
// read is kept in the work file Browse.tmp in the session directory so that
// scrolling back reads no record.
//
// Work file, one entry a line in the order read: 4 bytes the 1-based byte
// position of the previous entry (0 for the first), 4 bytes the record
// manager's position of the record, 2 bytes the text length n, n bytes of
// text without trailing spaces (integers little-endian).
#pragma once

#include <string>

namespace screens {

// SessionDir followed by "Browse.tmp".
std::string BrowseWorkFile();

// Runs browse list `list` (office::ScreenForms().browse).  result 0: a
// line was chosen; for a list with a file its record was read again by
// position into the file's record area; for a list without a file (which
// shows the lines the work file already holds) Screens().chosenNumber and
// chosenText hold the line's record position and text.  -1: left without a
// choice (Escape, any other key, Enter on an empty list, Escape in the
// filter screen, or a choice made in the sub-list opened with F4, which is
// stored into the field being edited through TakeBrowseChoice).  Otherwise
// the status of the final read.
//
// The list's filter screen runs first; browsing takes no record locks (the
// file's lock mode is saved and restored); the range is the records whose
// key, in collating form, does not sort above BrowseStartKey(list).  The
// work file is deleted when the list ends.
void BrowseList(int list, int& result);

}  // namespace screens
