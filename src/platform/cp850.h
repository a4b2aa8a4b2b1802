// Code page 850 and Unicode: the one place where the system's 8-bit text
// meets UTF-8 (terminal output, typed input, the system clipboard).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The character a code page 850 byte shows on the console.  Bytes 0x80 to
// 0xFF are those of code page 850; 0x20 to 0x7E are ASCII; the control bytes
// 0x01 to 0x1F and 0x7F show the console's glyphs (0x10 U+25BA, 0x11 U+25C4,
// 0x7F U+2302) and 0x00 shows a blank.
char32_t Cp850Glyph(std::uint8_t byte);

// The code page 850 byte for a Unicode character: ASCII (controls included)
// maps to itself, the characters of 0x80 to 0xFF to their byte; -1 for
// anything else.
int Cp850FromUnicode(char32_t ch);

// Appends the UTF-8 form of ch.
void AppendUtf8(char32_t ch, std::string* out);

// Decodes one UTF-8 character of text at *pos and moves *pos past it.
// Returns false, moving *pos past one byte, for a malformed or overlong
// sequence, a surrogate or a value above U+10FFFF.  Needs *pos < size.
bool DecodeUtf8(std::string_view text, size_t* pos, char32_t* ch);

// Length of the UTF-8 sequence that a lead byte starts (1 to 4), 0 for a
// byte that cannot start one.
int Utf8SequenceLength(std::uint8_t lead);

// Whole texts: each byte's glyph as UTF-8; and UTF-8 to code page 850 with
// malformed sequences and characters outside the code page dropped.
std::string Cp850ToUtf8(std::string_view text);
std::string Utf8ToCp850(std::string_view text);

}  // namespace platform
