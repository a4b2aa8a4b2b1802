// The notice shown instead of the screen while the terminal is too small,
// in the session language.
#pragma once

#include <string>

namespace app {

// The notice for a terminal of columns x rows (UTF-8).
std::string TooSmallNotice(int columns, int rows);

}  // namespace app
