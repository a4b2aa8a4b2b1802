// Storage of the session and terminal settings.
#include "startup/settings.h"

namespace startup {

SessionSettings& Settings() {
  static SessionSettings settings;
  return settings;
}

void ResetSettings() { Settings() = SessionSettings{}; }

}  // namespace startup
