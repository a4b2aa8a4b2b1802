#include "platform/identity.h"

#include <pwd.h>
#include <unistd.h>

namespace platform {

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "?";
  return name;
}

std::string UserName() {
  const uid_t uid = geteuid();
  const passwd* entry = getpwuid(uid);
  return entry != nullptr && entry->pw_name != nullptr ? entry->pw_name : std::to_string(uid);
}

}  // namespace platform
