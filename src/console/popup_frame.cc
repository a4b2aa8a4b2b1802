// The caller's exit keys kept aside, and the checked window open.
#include "console/popup_frame.h"

#include "console/console_state.h"
#include "console/field.h"
#include "console/window.h"

namespace console {

CallerExitKeys::CallerExitKeys(std::string_view commands, std::string_view keys) {
  const ConsoleState& s = Console();
  keys_ = s.exitKeys;
  results_ = s.exitResults;
  savedKeys_ = s.savedExitKeys;
  savedResults_ = s.savedExitResults;
  saved_ = s.exitListsSaved;
  SetExitKeys(commands, keys);
}

CallerExitKeys::~CallerExitKeys() {
  ConsoleState& s = Console();
  s.exitKeys = keys_;
  s.exitResults = results_;
  s.savedExitKeys = savedKeys_;
  s.savedExitResults = savedResults_;
  s.exitListsSaved = saved_;
}

bool OpenPopUpWindow(int top, int left, int bottom, int right) {
  const int depth = Console().depth;
  OpenWindow(top, left, bottom, right);
  return Console().depth > depth;
}

}  // namespace console
