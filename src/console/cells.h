// Writing text at a screen position without side effects on the rest of
// the screen.
#pragma once

#include <string_view>

namespace console {

// Writes text at (row, column) in the current colour.  Unlike a plain write
// at the cursor, a text that ends in the bottom-right cell does not scroll
// the screen: that cell is filled in place.  The cursor is left after the
// text, or on the bottom-right cell when the text reached it.
void WriteAt(int row, int column, std::string_view text);

}  // namespace console
