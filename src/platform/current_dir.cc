// Current directory through chdir and getcwd.
#include "platform/current_dir.h"

#include <unistd.h>

#include <climits>

#include "platform/paths.h"

namespace platform {

bool ChangeDirectory(std::string_view path) {
  return ::chdir(NativePath(path).c_str()) == 0;
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  return ::getcwd(buffer, sizeof buffer) == nullptr ? std::string() : std::string(buffer);
}

}  // namespace platform
