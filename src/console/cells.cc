// The console wraps (and at the bottom scrolls) after its last column, as
// the Win32 console does.  Windows that reach the bottom-right cell must
// still be framed and restored without moving the screen, so that one cell
// is written one row higher and moved down into place.
#include "console/cells.h"

#include <cstdint>

#include "platform/console.h"

namespace console {
namespace {

// Puts byte into the bottom-right cell in the current colour, leaving the
// cell above it as it was.
void PutBottomRightCell(char byte) {
  const int rows = platform::ConsoleRows();
  const int columns = platform::ConsoleColumns();
  const std::uint8_t attribute = platform::TextAttribute();
  platform::Cell above;
  platform::ReadCell(rows - 1, columns, &above);
  platform::SetCursorPosition(rows - 1, columns);
  platform::WriteText(std::string_view(&byte, 1));
  platform::ScrollRectangle(rows - 1, columns, rows, columns, -1);
  platform::SetTextAttribute(above.attribute);
  platform::SetCursorPosition(rows - 1, columns);
  const char aboveByte = static_cast<char>(above.character);
  platform::WriteText(std::string_view(&aboveByte, 1));
  platform::SetTextAttribute(attribute);
  platform::SetCursorPosition(rows, columns);
}

}  // namespace

void WriteAt(int row, int column, std::string_view text) {
  platform::SetCursorPosition(row, column);
  const int rows = platform::ConsoleRows();
  const int columns = platform::ConsoleColumns();
  const long long end = static_cast<long long>(column) + static_cast<long long>(text.size()) - 1;
  if (row != rows || text.empty() || end != columns) {
    platform::WriteText(text);
    return;
  }
  platform::WriteText(text.substr(0, text.size() - 1));
  PutBottomRightCell(text.back());
}

}  // namespace console
