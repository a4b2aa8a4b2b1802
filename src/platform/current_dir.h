// The process's current directory.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Makes the directory named by a system path (mapped by NativePath) the
// current directory; false when it cannot be entered.
bool ChangeDirectory(std::string_view path);

// The current directory as a native path; empty when it cannot be read.
std::string CurrentDirectory();

}  // namespace platform
