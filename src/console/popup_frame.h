// What the calendar and the calculator share around their own drawing: the
// caller's exit-key lists kept aside while the pop-up runs, and a window
// open that says whether it happened.
#pragma once

#include <string>
#include <string_view>

namespace console {

// Keeps the caller's exit-key lists, the current ones and any saved copy,
// and applies the pop-up's own SetExitKeys commands; the destructor puts
// the caller's lists back exactly.  (SetExitKeys keeps one saved level
// only, so a "+" ... "-" bracket would lose the caller's copy when the
// caller holds one already.)
class CallerExitKeys {
 public:
  CallerExitKeys(std::string_view commands, std::string_view keys);
  ~CallerExitKeys();
  CallerExitKeys(const CallerExitKeys&) = delete;
  CallerExitKeys& operator=(const CallerExitKeys&) = delete;

 private:
  std::string keys_;
  std::string results_;
  std::string savedKeys_;
  std::string savedResults_;
  bool saved_;
};

// OpenWindow, returning whether the window was opened (a rectangle off the
// console opens nothing, and the pop-up must then not close one).
bool OpenPopUpWindow(int top, int left, int bottom, int right);

}  // namespace console
