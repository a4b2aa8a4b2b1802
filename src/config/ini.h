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
//
// The files are code page 850, as the office's Windows machines wrote them,
// unless a file (up to its Ctrl-Z) is valid UTF-8 and holds bytes beyond
// ASCII, as today's editors on Linux save it: then it is read as UTF-8, a
// byte order mark at its start skipped, names compared and values returned
// in code page 850.  A character that code page 850 cannot hold is left out
// of the value and noted (UnwritableSettings).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace config {

std::string IniRead(std::string_view path, std::string_view section, std::string_view key);

// The value as its bytes stand in the file, never converted: for values
// handed to the operating system (paths of files and folders, printer
// names), which a UTF-8 file holds in the form the file system uses.
std::string IniReadRaw(std::string_view path, std::string_view section, std::string_view key);

// A value of a UTF-8 file that held characters code page 850 cannot hold.
struct UnwritableSetting {
  std::string file;  // the path as IniRead was given it
  std::string section;
  std::string key;
};

// The values noted since the last call, each file, section and key only
// once in the program's run however often it is read: the issuing run tells
// the operator of each.
std::vector<UnwritableSetting> TakeUnwritableSettings();

}  // namespace config
