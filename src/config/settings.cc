// Storage of the session and terminal settings.
#include "config/settings.h"

namespace config {

SessionSettings& Settings() {
  static SessionSettings settings;
  return settings;
}

void ResetSettings() {
  Settings() = SessionSettings{};
}

}  // namespace config
