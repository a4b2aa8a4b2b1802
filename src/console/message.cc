// The message box: a framed, centred box near a row, left open.
#include <algorithm>
#include <string>
#include <vector>

#include "console/console_state.h"
#include "console/window.h"
#include "format/text.h"
#include "terminal/cell_buffer.h"

namespace console {
namespace {

constexpr int kMessageWidth = 76;
constexpr int kCentreColumn = 41;

bool IsControl(char c) {
  return static_cast<unsigned char>(c) < 32;
}

// Splits wrapped text into its lines: kMessageWidth visible bytes each, the
// control bytes riding along as the formatter keeps them.
std::vector<std::string> SplitLines(const std::string& wrapped) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < wrapped.size()) {
    size_t end = pos;
    int visible = 0;
    while (end < wrapped.size() && (visible < kMessageWidth || IsControl(wrapped[end]))) {
      if (!IsControl(wrapped[end])) ++visible;
      ++end;
    }
    lines.push_back(format::TrimRight(wrapped.substr(pos, end - pos)));
    pos = end;
  }
  return lines;
}

}  // namespace

bool ShowMessage(int row, std::string_view text) {
  if (Console().messageEcho) Console().messageEcho(std::string(text));
  SetColour("+rh");
  std::string wrapped(text);
  format::WrapParagraph(wrapped, 0, kMessageWidth, "i");
  std::vector<std::string> lines = SplitLines(wrapped);
  if (lines.empty()) lines.emplace_back();  // an empty message still gets its box
  const int n = static_cast<int>(lines.size());
  int top = std::max(1, row - (n + 1) / 2 - 2);
  int bottom = top + n + 1;
  if (bottom > ScreenRows()) {
    bottom = ScreenRows();
    top = bottom - n - 1;
  }
  if (top < 1) {
    SetColour("-");
    return false;
  }
  int left = 0;
  int right = 0;
  for (const std::string& line : lines) {
    const int length = static_cast<int>(line.size());
    if (right - left < length + 4) {
      left = kCentreColumn - (length + 1) / 2 - 2;
      right = kCentreColumn + length / 2 + 1;
    }
  }
  // Control bytes can make a line longer than the screen is wide.
  left = std::max(left, 1);
  right = std::min(std::max(right, left), ScreenColumns());
  const int depthBefore = Console().depth;
  OpenWindow(top, left, bottom, right);
  if (Console().depth == depthBefore) {
    SetColour("-");
    return false;
  }
  DrawFrame(1);
  for (int i = 0; i < n; ++i) {
    WindowLocate(i + 1, 2);
    terminal::WriteText(lines[static_cast<size_t>(i)]);
  }
  SetColour("-");
  return true;
}

}  // namespace console
