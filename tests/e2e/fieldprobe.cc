// fieldprobe: one 20-character field on a real terminal, for the end-to-end
// test of the terminal layer, the key reader and the field editor under
// tmux.  Every key the editor does not handle ends the field; the probe
// then shows the key code, the value, the cursor position and the Insert
// toggle on row 5, and edits again.  Escape twice in a row ends it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/session_settings.h"
#include "console/cells.h"
#include "console/field.h"
#include "console/window.h"
#include "platform/cp850.h"
#include "terminal/cell_buffer.h"
#include "terminal/tty_backend.h"

int main() {
  if (!terminal::UseTerminalConsole()) {
    std::fprintf(stderr, "fieldprobe needs a terminal\n");
    return 1;
  }
  const char* tmp = std::getenv("TMPDIR");
  config::Settings().SessionDir = std::string(tmp != nullptr ? tmp : "/tmp") + "/";
  console::SetColour("n");
  console::WriteAt(1, 1, "fieldprobe: Escape twice ends  \xDA\xC4\xBF \x80\x87\xA4");
  console::WriteAt(3, 1, "Field: ");
  console::SetExitKeys("e", "");
  std::string value(20, ' ');
  int position = 1;
  int escapes = 0;
  while (escapes < 2) {
    int key = 0;
    console::EditField(3, 10, 0, value, position, key);
    char line[128];
    std::snprintf(line, sizeof line, "key %04x value [%s] position %d insert %d        ",
                  static_cast<unsigned>(key) & 0xFFFF, value.c_str(), position,
                  terminal::InsertToggle() ? 1 : 0);
    console::WriteAt(5, 1, line);
    escapes = key == 27 ? escapes + 1 : 0;
  }
  return 0;
}
