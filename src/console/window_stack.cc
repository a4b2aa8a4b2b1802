// The window save stack in WinPush.tmp.
//
// Layout: bytes 1-4 hold the 1-based position where the next entry goes
// (32-bit little endian, 5 when empty); each entry is ten two-digit numbers
// (cursor row and column, the previous window, this window), the covered
// cells as character and attribute bytes row by row, and a five-digit entry
// length, so the stack pops from its end.  The file may be left over from
// another run or damaged, so every number read from it is checked before
// it is used; a close that finds a damaged stack restores nothing.  The
// file is opened through ReplaceFile, so a link left under its name is
// replaced, never written through.
#include <cstdint>
#include <cstdio>
#include <string>

#include "config/session_settings.h"
#include "console/cells.h"
#include "console/console_state.h"
#include "console/window.h"
#include "format/text.h"
#include "platform/paths.h"
#include "platform/replace_file.h"
#include "terminal/cell_buffer.h"

namespace console {
namespace {

constexpr int kHeaderBytes = 4;
constexpr int kNumberBytes = 20;  // ten two-digit numbers
constexpr int kLengthBytes = 5;
constexpr long kFirstEntry = kHeaderBytes + 1;

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file != nullptr) std::fclose(file);
  }
};

long FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  return std::ftell(file);
}

// Reads count bytes at the 1-based position; false when they are not all there.
bool ReadAt(std::FILE* file, long position, size_t count, std::string* bytes) {
  bytes->assign(count, '\0');
  if (std::fseek(file, position - 1, SEEK_SET) != 0) return false;
  return std::fread(bytes->data(), 1, count, file) == count;
}

bool WriteBytesAt(std::FILE* file, long position, const std::string& bytes) {
  if (std::fseek(file, position - 1, SEEK_SET) != 0) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

long ReadNextPosition(std::FILE* file) {
  std::string bytes;
  if (!ReadAt(file, 1, kHeaderBytes, &bytes)) return -1;
  std::uint32_t value = 0;
  for (int i = kHeaderBytes - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
  }
  return static_cast<std::int32_t>(value);
}

bool WriteNextPosition(std::FILE* file, long position) {
  std::string bytes(kHeaderBytes, '\0');
  const auto value = static_cast<std::uint32_t>(position);
  for (int i = 0; i < kHeaderBytes; ++i) {
    bytes[static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  return WriteBytesAt(file, 1, bytes);
}

std::string Digits(int value, int width) {
  return format::ZeroPad(value, width);
}

// The value of width ASCII digits at offset, or -1 when any is not a digit.
int ParseDigits(const std::string& bytes, size_t offset, int width) {
  int value = 0;
  for (int i = 0; i < width; ++i) {
    const char c = bytes[offset + static_cast<size_t>(i)];
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Cells covered by a rectangle; reversed corners cover none.
int CellCount(int top, int left, int bottom, int right) {
  if (bottom < top || right < left) return 0;
  return (bottom - top + 1) * (right - left + 1);
}

std::string CellImage(int top, int left, int bottom, int right) {
  std::string image;
  for (int r = top; r <= bottom; ++r) {
    for (int c = left; c <= right; ++c) {
      terminal::Cell cell;
      terminal::ReadCell(r, c, &cell);
      image += static_cast<char>(cell.character);
      image += static_cast<char>(cell.attribute);
    }
  }
  return image;
}

bool OnScreen(int row, int column) {
  return row >= 1 && row <= ScreenRows() && column >= 1 && column <= ScreenColumns();
}

// One entry read back from the save file, checked.
struct SavedWindow {
  int cursorRow = 0;
  int cursorColumn = 0;
  WindowRect previous;
  WindowRect saved;
  std::string image;
  long start = 0;  // 1-based position of the entry, the new next position
};

// Reads the entry that ends before position next.  False when the bytes do
// not form an entry this stack could have written: a length that is not five
// digits or does not fit, numbers that are not digits, a rectangle off the
// screen or an image whose size does not match it.
bool ReadLastEntry(std::FILE* file, long next, long size, SavedWindow* out) {
  constexpr long kSmallest = kNumberBytes + kLengthBytes;
  if (next < kFirstEntry + kSmallest || next > size + 1) return false;
  std::string bytes;
  if (!ReadAt(file, next - kLengthBytes, kLengthBytes, &bytes)) return false;
  const int length = ParseDigits(bytes, 0, kLengthBytes);
  if (length < kSmallest || next - length < kFirstEntry) return false;
  out->start = next - length;
  if (!ReadAt(file, out->start, static_cast<size_t>(length), &bytes)) return false;
  int n[10];
  for (int i = 0; i < 10; ++i) {
    n[i] = ParseDigits(bytes, static_cast<size_t>(2 * i), 2);
    if (n[i] < 0) return false;
  }
  out->cursorRow = n[0];
  out->cursorColumn = n[1];
  out->previous = WindowRect{n[2], n[3], n[4], n[5]};
  out->saved = WindowRect{n[6], n[7], n[8], n[9]};
  const WindowRect& w = out->saved;
  if (!OnScreen(w.top, w.left) || !OnScreen(w.bottom, w.right)) return false;
  const int cells = CellCount(w.top, w.left, w.bottom, w.right);
  if (length != kSmallest + 2 * cells) return false;
  out->image = bytes.substr(kNumberBytes, static_cast<size_t>(2 * cells));
  return true;
}

// Puts the saved cells back, each in its own colour.
void RestoreCells(const SavedWindow& entry) {
  const WindowRect& w = entry.saved;
  size_t i = 0;
  for (int r = w.top; r <= w.bottom; ++r) {
    for (int c = w.left; c <= w.right; ++c, i += 2) {
      char character = entry.image[i];
      // Bytes the console acts on instead of drawing never sit in a cell.
      if (character == 7 || character == 8 || character == 9 || character == 10 ||
          character == 13) {
        character = ' ';
      }
      terminal::SetTextAttribute(static_cast<std::uint8_t>(entry.image[i + 1]));
      WriteAt(r, c, std::string_view(&character, 1));
    }
  }
}

}  // namespace

std::string WindowSaveFile() {
  return config::Settings().SessionDir + "WinPush.tmp";
}

void OpenWindow(int top, int left, int bottom, int right) {
  if (!OnScreen(top, left) || !OnScreen(bottom, right)) return;
  const std::string name = WindowSaveFile();
  std::FILE* file = platform::ReplaceFile(name, true);
  if (file == nullptr) return;
  FileCloser closer{file};
  const long size = FileSize(file);
  long next = kFirstEntry;
  if (size > kHeaderBytes) next = ReadNextPosition(file);
  // A position that points outside the file cannot come from this stack:
  // start it again rather than write into a hole or over the header.
  if (next < kFirstEntry || next > size + 1) next = kFirstEntry;

  ConsoleState& s = Console();
  const WindowRect& was = s.window;
  std::string entry = Digits(terminal::CursorRow(), 2) + Digits(terminal::CursorColumn(), 2) +
                      Digits(was.top, 2) + Digits(was.left, 2) + Digits(was.bottom, 2) +
                      Digits(was.right, 2) + Digits(top, 2) + Digits(left, 2) + Digits(bottom, 2) +
                      Digits(right, 2);
  const std::string image = CellImage(top, left, bottom, right);
  entry += image;
  entry += Digits(static_cast<int>(kNumberBytes + image.size() + kLengthBytes), kLengthBytes);
  if (!WriteBytesAt(file, next, entry)) return;
  next += static_cast<long>(entry.size());
  if (!WriteNextPosition(file, next)) return;
  s.window = WindowRect{top, left, bottom, right};
  ++s.depth;
}

void CloseWindow() {
  const std::string name = WindowSaveFile();
  if (!platform::FileExists(name)) return;
  std::FILE* file = platform::ReplaceFile(name, true);
  if (file == nullptr) return;
  FileCloser closer{file};
  const long size = FileSize(file);
  ConsoleState& s = Console();
  SavedWindow entry;
  const bool usable =
      size > kHeaderBytes && ReadLastEntry(file, ReadNextPosition(file), size, &entry);
  if (size > kHeaderBytes && s.depth > 0) --s.depth;
  if (!usable) {
    std::fclose(closer.file);
    closer.file = nullptr;
    platform::RemoveFile(name);
    return;
  }
  s.window = entry.previous;
  RestoreCells(entry);
  terminal::SetCursorPosition(entry.cursorRow, entry.cursorColumn);
  WriteNextPosition(file, entry.start);
  if (entry.start < kFirstEntry + 1) {
    std::fclose(closer.file);
    closer.file = nullptr;
    platform::RemoveFile(name);
  }
}

}  // namespace console
