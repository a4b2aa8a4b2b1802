// The internal clipboard buffer, mirrored to the system clipboard when that
// is enabled.
#include "terminal/clipboard.h"

#include "platform/program_state.h"
#include "terminal/system_clipboard.h"

namespace terminal {
namespace {

struct ClipboardState {
  std::string buffer;
  bool system = false;
};

ClipboardState& State() {
  static ClipboardState state;
  return state;
}

[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kTerminal, "terminal::Clipboard", [] { State() = ClipboardState{}; });

}  // namespace

void CopyToClipboard(std::string_view text) {
  State().buffer.assign(text);
  if (State().system) CopyToSystemClipboard(text);
}

std::string PasteFromClipboard() {
  if (State().system) {
    std::string text;
    if (PasteFromSystemClipboard(&text)) return text;
  }
  return State().buffer;
}

void EnableSystemClipboard(bool on) {
  State().system = on;
}

}  // namespace terminal
