// The recording console and the fixed day of each screen test.
#include "screens_fixture.h"

#include <memory>

#include "platform/clock.h"

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

// The session has reset the program state; it resets it again when it goes.
ScreensTest::ScreensTest() {
  auto recorder = std::make_unique<RecordingConsole>();
  console_ = recorder.get();
  terminal::SetConsoleBackend(std::move(recorder));
  platform::FixToday({2026, 6, 15, 10, 0, 0});
}

}  // namespace screens_test
