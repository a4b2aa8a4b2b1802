// The write-at-a-position shorthand that frames, fields and the window
// restore use.
#include "console/cells.h"

#include "terminal/cell_buffer.h"

namespace console {

void WriteAt(int row, int column, std::string_view text) {
  // The console would keep the cursor's old coordinate and write elsewhere.
  if (row < 1 || row > terminal::ConsoleRows() || column < 1 ||
      column > terminal::ConsoleColumns()) {
    return;
  }
  terminal::SetCursorPosition(row, column);
  terminal::WriteText(text);
}

}  // namespace console
