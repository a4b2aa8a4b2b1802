// The write-at-a-position shorthand that frames, fields and the window
// restore use.
#include "console/cells.h"

#include "platform/console.h"

namespace console {

void WriteAt(int row, int column, std::string_view text) {
  // The console would keep the cursor's old coordinate and write elsewhere.
  if (row < 1 || row > platform::ConsoleRows() || column < 1 ||
      column > platform::ConsoleColumns()) {
    return;
  }
  platform::SetCursorPosition(row, column);
  platform::WriteText(text);
}

}  // namespace console
