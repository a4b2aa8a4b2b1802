// The write-at-a-position shorthand that frames, fields and the window
// restore use.
#include "console/cells.h"

#include "platform/console.h"

namespace console {

void WriteAt(int row, int column, std::string_view text) {
  platform::SetCursorPosition(row, column);
  platform::WriteText(text);
}

}  // namespace console
