// The one reader of the system's INI files (Tora.ini, Sessio.ini,
// ToraTerm.ini).
//
// IniRead is a stateless lookup: it opens the file, scans it and closes it on
// every call, so a change to the file is seen by the next lookup.  A missing
// file, section or key and an empty value all give the empty text; callers
// apply their own defaults.  The system never writes these files.
//
// Lines end at CR (a following LF is skipped) or at a bare LF, so files
// written on Windows and on Linux read alike; Ctrl-Z ends the file.
// Everything from the first ";" of a line is a comment, inside quotes too.
// Section and key names compare after trimming and the capital fold; the
// value is taken exactly as written after the first "=", with one pair of
// enclosing double quotes removed.  Only the first section of a name is
// searched and the first matching key wins.
#pragma once

#include <string>
#include <string_view>

namespace config {

std::string IniRead(std::string_view path, std::string_view section, std::string_view key);

}  // namespace config
