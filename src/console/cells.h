// Writing text at a screen position.
#pragma once

#include <string_view>

namespace console {

// Cursor to (row, column), then text in the current colour.  A text that
// ends in the screen's last cell leaves the screen where it is.  Nothing is
// written when (row, column) is off the screen.
void WriteAt(int row, int column, std::string_view text);

}  // namespace console
