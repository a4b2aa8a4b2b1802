// Files the programs write in folders others may share or prepare (the
// session and terminal folders): the spool, the window stack, the browse and
// calculator work files.  A symbolic or hard link found under such a name
// must never be written through, or a link to a record file would destroy
// it.
#pragma once

#include <cstdio>
#include <string_view>

namespace platform {

// Opens a file at path (through NativePath) for reading and writing, at its
// start, such that no write through it reaches any other file.  Without
// keep, and with keep unless path names a regular file with no other name,
// a new file is created under a new name beside path, with O_EXCL so
// nothing found there is followed, and renamed over path: whatever was at
// path (a symbolic link, a hard link, a file) is replaced and left
// unchanged.  With keep the new file starts with a copy of a regular file
// found at path (a symbolic link or anything else there counts as no file),
// and a regular file with no other name is opened in place (O_NOFOLLOW),
// which saves the copy for files changed over and over.  Returns nullptr
// when the file cannot be opened, created or put in place (then nothing at
// path changed).  A new file is created without access for others, or with
// the mode, owner and group of the regular file it replaces
// (platform/new_file.h).  The caller closes the file.
std::FILE* ReplaceFile(std::string_view path, bool keep);

}  // namespace platform
