// Reading of a language file: entries of four fields, the Catalan text
// followed by its Galician, Aranese and Spanish translations.
//
// Fields follow one another regardless of lines.  A field ends at a comma
// or at the end of a line (CR, CR LF or a bare LF).  Spaces before a field
// are skipped.  A field that begins with a double quote runs to the next
// double quote (or to the end of the file), without the quotes; anything
// after the closing quote up to the field's end is dropped.  An unquoted
// field drops tabs and keeps every other byte, trailing spaces included.
// A Ctrl-Z byte ends the file.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace config {

// Columns of the translations in an entry, after the Catalan key.
enum class LanguageColumn { kGalician = 0, kAranese = 1, kSpanish = 2 };

struct LanguageEntry {
  std::string key;                          // the Catalan text
  std::array<std::string, 3> translations;  // by LanguageColumn
};

// Finds the first entry whose key is exactly text (same bytes and length).
// An entry whose key is the file's last field is never found.  False when
// no entry matches.
bool FindLanguageEntry(std::string_view contents, std::string_view text, LanguageEntry* entry);

// Every entry of the file in order, as FindLanguageEntry walks them (an
// entry whose key is the file's last field is left out).
std::vector<LanguageEntry> ReadLanguageEntries(std::string_view contents);

}  // namespace config
