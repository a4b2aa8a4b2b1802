// Files the programs write in folders others may share or prepare (the
// session and terminal folders): the spool, the window stack, the browse and
// calculator work files.  A symbolic or hard link found under such a name
// must never be written through, or a link to a record file would destroy
// it.
#pragma once

#include <cstdio>
#include <string_view>

namespace platform {

// Opens a new file in the place of path (through NativePath): it is created
// under a new name beside path, with O_EXCL so nothing found there is
// followed, and renamed over path, so whatever was at path (a file, a
// symbolic link, a hard link) is replaced and left unchanged.  With keep,
// the new file starts with a copy of the regular file that was at path; a
// link or anything else there counts as no file.  Returns the file open for
// reading and writing at its start (the caller closes it), or nullptr when
// it cannot be created or put in place (then nothing at path changed).
std::FILE* ReplaceFile(std::string_view path, bool keep);

}  // namespace platform
