// The recording console and the reset around each screen test.
#include "screens_fixture.h"

#include <memory>

#include "config/program_state.h"
#include "console/state.h"
#include "format/settings.h"
#include "office/record_layouts.h"
#include "office/screen_form.h"
#include "office/selection.h"
#include "platform/clock.h"
#include "screens/screens_state.h"

namespace screens_test {

terminal::ConsoleEvent RecordingConsole::ReadEvent(bool wait) {
  if (wait) seen.push_back(terminal::CurrentScreen());
  return HeadlessConsole::ReadEvent(wait);
}

std::string CellsText(const terminal::ConsoleScreen& screen, int row, int column, int length) {
  std::string text;
  for (int c = column; c < column + length && c <= terminal::kConsoleColumns; ++c) {
    text += static_cast<char>(screen.At(row, c).character);
  }
  return text;
}

std::string RowText(const terminal::ConsoleScreen& screen, int row) {
  std::string text = CellsText(screen, row, 1, terminal::kConsoleColumns);
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

namespace {
void ResetAll() {
  console::ResetConsoleState();
  screens::ResetScreens();
  office::ResetScreenForms();
  office::ResetSelection();
  office::ResetAreas();
  config::ResetProgram();
  format::ResetFormats();
}
}  // namespace

ScreensTest::ScreensTest() {
  auto recorder = std::make_unique<RecordingConsole>();
  console_ = recorder.get();
  terminal::SetConsoleBackend(std::move(recorder));
  ResetAll();
  platform::FixToday({2026, 6, 15, 10, 0, 0});
}

ScreensTest::~ScreensTest() {
  ResetAll();
  platform::ResetClock();
}

}  // namespace screens_test
