// Clipboard helpers: wl-copy / wl-paste on Wayland, xclip on X11, OSC 52
// for terminals (which also reaches the desktop over ssh).
#include "terminal/system_clipboard.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/cp850.h"
#include "platform/process.h"

namespace terminal {
namespace {

constexpr int kHelperTimeoutMs = 2000;

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
    out.push_back(kDigits[(v >> 18) & 63]);
    out.push_back(kDigits[(v >> 12) & 63]);
    out.push_back(i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=');
    out.push_back(i + 2 < bytes.size() ? kDigits[v & 63] : '=');
  }
  return out;
}

}  // namespace

std::string Osc52Sequence(std::string_view utf8) {
  return "\x1b]52;c;" + Base64(utf8) + "\a";
}

void CopyToSystemClipboard(std::string_view text) {
  const std::string utf8 = platform::Cp850ToUtf8(text);
  const std::string osc = Osc52Sequence(utf8);
  [[maybe_unused]] ssize_t n = ::write(STDOUT_FILENO, osc.data(), osc.size());
  if (Set("WAYLAND_DISPLAY")) {
    platform::CaptureProgram({"wl-copy"}, utf8, nullptr, kHelperTimeoutMs);
  } else if (Set("DISPLAY")) {
    platform::CaptureProgram({"xclip", "-selection", "clipboard", "-in"}, utf8, nullptr, kHelperTimeoutMs);
  }
}

bool PasteFromSystemClipboard(std::string* text) {
  std::vector<std::string> helper;
  if (Set("WAYLAND_DISPLAY")) {
    helper = {"wl-paste", "--no-newline"};
  } else if (Set("DISPLAY")) {
    helper = {"xclip", "-selection", "clipboard", "-out"};
  } else {
    return false;
  }
  std::string utf8;
  if (platform::CaptureProgram(helper, {}, &utf8, kHelperTimeoutMs) != 0) return false;
  *text = platform::Utf8ToCp850(utf8);
  return true;
}

}  // namespace terminal
