// A headless session for the pop-ups: TerminalDir in the scratch
// directory, the number characters "." and ",", short dates as D/M/A, and a
// snapshot taken whenever the other pop-up's hot key is pressed (a test
// presses Alt+C inside the calculator, or Alt+X inside the calendar, to see
// the screen in the middle of a run).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "../support/headless_session.h"
#include "config/session_settings.h"
#include "console/console_state.h"
#include "console/keyboard.h"
#include "format/format_settings.h"
#include "format/text.h"
#include "platform/clock.h"
#include "terminal/cell_buffer.h"
#include "terminal/headless_backend.h"

namespace testing_support {

class PopUpTest : public ::testing::Test {
 protected:
  // One screen as seen in the middle of a run.
  struct Snapshot {
    std::vector<std::string> rows;        // rows[r] is screen row r (1-based); 80 bytes
    std::vector<std::string> attributes;  // attribute bytes of each row
    std::string Text(int row, int column, int length) const {
      return rows[static_cast<size_t>(row)].substr(static_cast<size_t>(column - 1),
                                                   static_cast<size_t>(length));
    }
    unsigned char Attribute(int row, int column) const {
      return static_cast<unsigned char>(
          attributes[static_cast<size_t>(row)][static_cast<size_t>(column - 1)]);
    }
  };

  PopUpTest() {
    format::Formats().DecCaracter = '.';
    format::Formats().MilCaracter = ',';
    format::Formats().DatCaracter = '/';
    format::Formats().DatOrdre = "DMA";
    format::Formats().languageProvider = [] { return config::Settings().SessionLanguage; };
    config::Settings().TerminalDir = session.dir().path() + "/";
    platform::FixToday({2023, 7, 9, 12, 0, 0});
  }

  // Registers the snapshot as the hook of the hot key the pop-up under test
  // does not own.
  void SnapshotOnAltC() {
    console::SetHotKeyHooks(nullptr, [this] { return Take(); });
  }
  void SnapshotOnAltX() {
    console::SetHotKeyHooks([this] { return Take(); }, nullptr);
  }
  void PressAltC() { con().PushKey(0, 0x2E, terminal::kLeftAlt); }
  void PressAltX() { con().PushKey(0, 0x2D, terminal::kLeftAlt); }

  terminal::HeadlessConsole& con() { return session.console(); }

  HeadlessSession session;
  std::vector<Snapshot> shots;

 private:
  std::string Take() {
    Snapshot shot;
    shot.rows.resize(26);
    shot.attributes.resize(26);
    for (int row = 1; row <= 25; ++row) {
      shot.rows[static_cast<size_t>(row)] = terminal::ScreenText(row, 1, 80);
      for (int column = 1; column <= 80; ++column) {
        terminal::Cell cell;
        terminal::ReadCell(row, column, &cell);
        shot.attributes[static_cast<size_t>(row)] += static_cast<char>(cell.attribute);
      }
    }
    shots.push_back(shot);
    return {};
  }
};

}  // namespace testing_support
