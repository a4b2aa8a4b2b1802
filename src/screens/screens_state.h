// Program-wide state of the console screens: the field being edited by the
// input screen engine, the resume screen of a chain of continuation screens,
// and the choice made in a browse list without a file.  One instance,
// reached through Screens().
#pragma once

#include <cstdint>
#include <string>

namespace screens {

struct ScreensState {
  // Set while a field is open in the engine; 0 and empty between screens.
  int screen = 0;
  int field = 0;
  std::string text;
  // The continuation screen that was left with Page Up or Page Down; the
  // chain starts there when it is entered again.  0: none.
  int resumeScreen = 0;
  // What Enter took from a browse list without a file: the line's second
  // 4-byte value and its text.
  std::int32_t chosenNumber = 0;
  std::string chosenText;
};

// The reset of the program state (platform/program_state.h) puts it back
// as a run starts.
ScreensState& Screens();

}  // namespace screens
