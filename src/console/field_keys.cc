// The field editor's key table: typing, deleting, moving, choosing, copy
// and paste.  Every change keeps the value's length.
#include <algorithm>
#include <string>

#include "console/field_internal.h"
#include "console/keyboard.h"
#include "format/text.h"
#include "terminal/cell_buffer.h"
#include "terminal/clipboard.h"

namespace console {
namespace {

bool IsSeparator(char c) {
  return std::string_view(" ,.;:").find(c) != std::string_view::npos;
}

char At(const std::string& value, int position) {
  return value[static_cast<size_t>(position - 1)];
}

bool Printable(int key, bool choice) {
  return (key >= (choice ? 33 : 32) && key <= 126) || (key >= 128 && key <= 254);
}

// The typed letter compared with the first letter of a description, both
// upper-cased with accents removed.
bool StartsWithLetter(const std::string& description, char letter) {
  if (description.empty()) return false;
  format::TextState& texts = format::Texts();
  const bool was = texts.accentStripping;
  texts.accentStripping = true;
  const bool same = format::FoldText(description.substr(0, 1)) == format::FoldText({&letter, 1});
  texts.accentStripping = was;
  return same;
}

void SelectByLetter(Field& f, char letter) {
  const int n = static_cast<int>(f.items.size());
  for (int step = 1; step <= n; ++step) {
    const int i = (f.current + step) % n;
    if (StartsWithLetter(f.items[static_cast<size_t>(i)].description, letter)) {
      f.current = i;
      f.redraw = true;
      return;
    }
  }
}

void TypeCharacter(Field& f, char c) {
  std::string& v = *f.value;
  if (f.position > f.Length()) return;
  if (f.insertMode) {
    if (v.back() != ' ') return;
    v.insert(static_cast<size_t>(f.position - 1), 1, c);
    v.pop_back();
    f.redraw = true;
  } else {
    v[static_cast<size_t>(f.position - 1)] = c;
    if (f.mask == 0) terminal::WriteText({&c, 1});
  }
  ++f.position;
}

void DeleteAt(Field& f, int position) {
  f.value->erase(static_cast<size_t>(position - 1), 1);
  f.value->push_back(' ');
  f.redraw = true;
}

void Paste(Field& f) {
  std::string text;
  for (char c : terminal::PasteFromClipboard()) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 32 && b != 127 && b != 255) text += c;
  }
  text = format::Trim(text);
  std::string& v = *f.value;
  const size_t from = static_cast<size_t>(f.position - 1);
  if (from < v.size()) {
    const size_t count = std::min(text.size(), v.size() - from);
    v.replace(from, count, text, 0, count);
  }
  f.redraw = true;
}

void Copy(const Field& f) {
  terminal::CopyToClipboard(f.Choice() ? f.items[static_cast<size_t>(f.current)].description
                                       : format::Trim(*f.value));
}

void StepItem(Field& f, int step) {
  const int n = static_cast<int>(f.items.size());
  f.current = (f.current + step + n) % n;
  f.redraw = true;
}

// Moves that end editing when they cannot move.
bool Move(Field& f, bool possible, int to) {
  if (f.Choice() || !possible) return false;
  f.position = to;
  return true;
}

}  // namespace

int WordLeft(const std::string& value, int position) {
  bool inWord = !IsSeparator(At(value, position - 1));
  for (int i = position - 2; i >= 1; --i) {
    const bool word = !IsSeparator(At(value, i));
    if (inWord && !word) return i + 1;
    inWord = word;
  }
  return 1;
}

int WordRight(const std::string& value, int position) {
  const int length = static_cast<int>(value.size());
  bool inSeparators = IsSeparator(At(value, position));
  for (int i = position + 1; i <= length; ++i) {
    const bool separator = IsSeparator(At(value, i));
    if (inSeparators && !separator) return i;
    inSeparators = separator;
  }
  return length + 1;
}

bool HandleFieldKey(Field& f, int key) {
  const int length = f.Length();
  if (Printable(key, f.Choice())) {
    if (f.Choice()) {
      SelectByLetter(f, static_cast<char>(key));
    } else {
      TypeCharacter(f, static_cast<char>(key));
    }
    return true;
  }
  switch (key) {
    case kKeyLeft:
      if (f.Choice())
        StepItem(f, -1);
      else if (f.position > 1)
        --f.position;
      return true;
    case kKeyRight:
    case ' ':
    case 0:
      if (f.Choice() && key == 0) return false;
      if (f.Choice())
        StepItem(f, 1);
      else if (f.position <= length)
        ++f.position;
      return true;
    case kKeyBackspace:
      if (!f.Choice() && f.position > 1) DeleteAt(f, --f.position);
      return true;
    case kKeyDelete:
      if (!f.Choice() && f.position <= length) DeleteAt(f, f.position);
      return true;
    case kKeyHome:
      f.position = 1;
      return true;
    case kKeyEnd:
      f.position = static_cast<int>(format::TrimRight(*f.value).size()) + 1;
      return true;
    case kKeyCtrlHome:
    case kKeyCtrlY:
      if (!f.Choice()) {
        f.value->assign(static_cast<size_t>(length), ' ');
        f.position = 1;
        f.redraw = true;
      }
      return true;
    case kKeyUp:
    case kKeyShiftTab:
      return Move(f, f.position > f.width, f.position - f.width);
    case kKeyDown:
      return Move(f, f.position <= length + 1 - f.width, f.position + f.width);
    case kKeyCtrlLeft:
      return Move(f, f.position > 1, f.position > 1 ? WordLeft(*f.value, f.position) : 1);
    case kKeyCtrlRight:
      return Move(f, f.position <= length,
                  f.position <= length ? WordRight(*f.value, f.position) : 1);
    case kKeyCtrlC:
      Copy(f);
      return true;
    case kKeyCtrlV:
      if (!f.Choice()) Paste(f);
      return true;
    default:
      return false;
  }
}

std::vector<ChoiceItem> ParseChoiceList(std::string_view list) {
  std::vector<ChoiceItem> items;
  size_t bar = list.find('|');
  while (bar != std::string_view::npos) {
    size_t next = list.find('|', bar + 1);
    const std::string_view item = list.substr(
        bar + 1, next == std::string_view::npos ? std::string_view::npos : next - bar - 1);
    const size_t comma = item.find(',');
    ChoiceItem parsed;
    parsed.code = std::string(item.substr(0, comma));
    if (comma != std::string_view::npos) parsed.description = std::string(item.substr(comma + 1));
    items.push_back(std::move(parsed));
    bar = next;
  }
  return items;
}

}  // namespace console
