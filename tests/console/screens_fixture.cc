// The recording console and the reset around each screen test.
#include "screens_fixture.h"

#include <memory>

#include "console/screens_state.h"
#include "console/state.h"
#include "format/settings.h"
#include "issuing/record_layouts.h"
#include "issuing/screen_form.h"
#include "issuing/selection.h"
#include "platform/clock.h"
#include "startup/program_state.h"

namespace screens_test {

platform::ConsoleEvent RecordingConsole::ReadEvent(bool wait) {
  if (wait) seen.push_back(platform::CurrentScreen());
  return HeadlessConsole::ReadEvent(wait);
}

std::string CellsText(const platform::ConsoleScreen& screen, int row, int column, int length) {
  std::string text;
  for (int c = column; c < column + length && c <= platform::kConsoleColumns; ++c) {
    text += static_cast<char>(screen.At(row, c).character);
  }
  return text;
}

std::string RowText(const platform::ConsoleScreen& screen, int row) {
  std::string text = CellsText(screen, row, 1, platform::kConsoleColumns);
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

namespace {
void ResetAll() {
  console::ResetConsoleState();
  console::ResetScreens();
  issuing::ResetScreenForms();
  issuing::ResetSelection();
  issuing::ResetAreas();
  startup::ResetProgram();
  format::ResetFormats();
}
}  // namespace

ScreensTest::ScreensTest() {
  auto recorder = std::make_unique<RecordingConsole>();
  console_ = recorder.get();
  platform::SetConsoleBackend(std::move(recorder));
  ResetAll();
  platform::FixToday({2026, 6, 15, 10, 0, 0});
}

ScreensTest::~ScreensTest() {
  ResetAll();
  platform::ResetClock();
}

}  // namespace screens_test
