// Readable key descriptions, turned into the Create buffer a dictionary
// file (ddf\NAME.xdf) carries.
//
// One statement a line; "#" starts a comment:
//   record 324                 record length (required)
//   page 1024                  page size (default 1024)
//   variable                   records may be longer than the record length
//   acs NAME upper             collating sequence 0, 1, ... in order:
//   acs NAME FILE                the built-in "upper" (a-z as A-Z), or a file
//                                of 256 (table) or 265 bytes (whole sequence)
//   key [dup] [mod] [null=HH] [null-any=HH]: SEGMENT, SEGMENT, ...
// Keys are numbered 0, 1, ... in the order of their lines.  A segment is
//   POSITION+LENGTH [TYPE] [desc] [nocase] [acs=N]
// with POSITION counted from 1 and TYPE one of string (default), zstring,
// lstring, integer, unsigned, binary, float, date, time, logical.
#pragma once

#include <string>

namespace recutil {

// Parses a description.  On success returns true with the Create buffer;
// otherwise false with a message naming the line.
bool ParseKeyDescription(const std::string& text, std::string* createBuffer, std::string* error);

// The dictionary file's bytes: 2-byte little-endian count, then the buffer.
std::string DictionaryFile(const std::string& createBuffer);

}  // namespace recutil
