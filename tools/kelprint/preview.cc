// The pager: a full-screen double frame with the page's lines inside, the
// page number on the top line and the keys on the bottom one.  Only the page
// on view is held; another page is laid out again from its mark.
#include "preview.h"

#include <algorithm>
#include <string>
#include <vector>

#include "config/session_settings.h"
#include "console/cells.h"
#include "console/keyboard.h"
#include "console/window.h"
#include "cups_job.h"
#include "messages.h"
#include "platform/paths.h"
#include "qr_code.h"
#include "terminal/cell_buffer.h"
#include "terminal/tty_backend.h"

namespace kelprint {
namespace {

constexpr int kViewRows = 23;  // inside the frame of an 80 x 25 screen
constexpr int kViewColumns = 78;
constexpr int kSideStep = 8;  // columns a Left or Right moves

struct View {
  const std::string& spoolPath;
  const SpoolSurvey& survey;
  SpoolReader reader;
  size_t index = 0;
  Page page;
  int top = 0;   // first page line shown
  int left = 0;  // first page column shown
};

void ShowPage(View& v, size_t index) {
  v.index = index;
  v.reader.Seek(v.survey.marks[index]);
  v.reader.NextPage(&v.page);
  PutQrTexts(v.page);  // a QR code shows as its text
  v.top = 0;
}

int LastTop(const View& v) {
  const int rows = std::max(v.page.length, static_cast<int>(v.page.lines.size()));
  return std::max(rows - kViewRows, 0);
}

int LastLeft(const View& v) {
  int columns = v.survey.columns;
  for (const std::string& line : v.page.lines) {
    columns = std::max(columns, static_cast<int>(line.size()));
  }
  return std::max(columns - kViewColumns, 0);
}

std::string Slice(const std::string& line, int from) {
  std::string out =
      from < static_cast<int>(line.size()) ? line.substr(static_cast<size_t>(from)) : std::string();
  out.resize(kViewColumns, ' ');
  return out;
}

void Draw(const View& v) {
  console::SetColour("n");
  // The frame's corners become arrows when the page reaches further aside.
  console::WriteAt(1, 1, v.left > 0 ? "\x11" : "\xC9");
  console::WriteAt(1, 80, v.left < LastLeft(v) ? "\x10" : "\xBB");
  std::string title =
      " KELPRINT \xCD " +
      Say(Words::kPageOf, {std::to_string(v.index + 1), std::to_string(v.survey.pageCount)}) + " ";
  title +=
      std::string(static_cast<size_t>(std::max(60 - static_cast<int>(title.size()), 0)), '\xCD');
  console::WriteAt(1, 3, title);
  const std::string keys = Say(Words::kPreviewKeys);
  console::WriteAt(25, 3, " " + keys + " ");
  console::SetColour("h");
  for (int r = 0; r < kViewRows; ++r) {
    const size_t at = static_cast<size_t>(v.top + r);
    console::WriteAt(r + 2, 2, Slice(at < v.page.lines.size() ? v.page.lines[at] : "", v.left));
  }
  terminal::FlushConsole();
}

// A small framed box in the middle of the screen; the caller closes it.
void OpenBox(int top, int bottom, int width) {
  const int left = 41 - width / 2;
  console::SetColour("+u");
  console::OpenWindow(top, left, bottom, left + width - 1);
  console::DrawFrame(2);
}

void CloseBox() {
  console::CloseWindow();
  console::SetColour("-");
}

// Reads a page number; 0 when abandoned.
size_t AskPage(size_t pages) {
  const std::string prompt = Say(Words::kGoToPage);
  OpenBox(11, 13, static_cast<int>(prompt.size()) + 12);
  std::string digits;
  int key = 0;
  for (;;) {
    console::WindowLocate(1, 2);
    terminal::WriteText(prompt + digits + std::string(8 - digits.size(), ' '));
    terminal::FlushConsole();
    console::WaitKey(key);
    if (key == console::kKeyEscape || key == console::kKeyEnter) break;
    if (key >= '0' && key <= '9' && digits.size() < 7) digits += static_cast<char>(key);
    if (key == console::kKeyBackspace && !digits.empty()) digits.pop_back();
  }
  CloseBox();
  if (key != console::kKeyEnter || digits.empty()) return 0;
  return std::min<size_t>(std::stoul(digits), pages);
}

// A list of the choices; the index chosen, or -1 on Escape.
int Choose(const std::vector<std::string>& choices) {
  const int shown = std::min(static_cast<int>(choices.size()), 15);
  const int top = 12 - shown / 2;
  OpenBox(top, top + shown + 1, 40);
  console::WriteAt(top, 41 - static_cast<int>(Say(Words::kPrintTo).size()) / 2,
                   Say(Words::kPrintTo));
  int at = 0, first = 0, key = 0;
  for (;;) {
    first = std::clamp(first, at - shown + 1, at);
    for (int r = 0; r < shown; ++r) {
      console::SetColour(first + r == at ? "n" : "u");
      console::WindowLocate(r + 1, 1);
      std::string name = " " + choices[static_cast<size_t>(first + r)];
      name.resize(38, ' ');
      terminal::WriteText(name);
    }
    console::SetColour("u");
    terminal::FlushConsole();
    console::WaitKey(key);
    if (key == console::kKeyEscape || key == console::kKeyEnter) break;
    if (key == console::kKeyUp) at = std::max(at - 1, 0);
    if (key == console::kKeyDown) at = std::min(at + 1, static_cast<int>(choices.size()) - 1);
  }
  CloseBox();
  return key == console::kKeyEnter ? at : -1;
}

ExitCode PrintFromPreview(const View& v) {
  std::vector<std::string> choices = DestinationNames();
  choices.push_back(Say(Words::kPdfFile));
  const int chosen = Choose(choices);
  if (chosen < 0) return kPrintedOk;
  const Destination d =
      static_cast<size_t>(chosen) + 1 < choices.size()
          ? Destination{Destination::Kind::kCups, choices[static_cast<size_t>(chosen)]}
          : Destination{Destination::Kind::kPdfFile,
                        platform::NativePath(config::Settings().SessionDir + "kelprint.pdf")};
  const PrintOutcome outcome = PrintSpool(v.spoolPath, v.survey, d);
  const bool shown = console::ShowMessage(12, outcome.message);
  int key = 0;
  console::WaitKey(key);
  if (shown) console::CloseWindow();
  return outcome.code;
}

}  // namespace

ExitCode RunPreview(const std::string& spoolPath) {
  SpoolSurvey survey;
  if (!SurveySpool(spoolPath, true, &survey) || survey.marks.empty()) {
    Tell(true, Say(Words::kSpoolUnreadable, {spoolPath}));  // gone since the first reading
    return kSpoolProblem;
  }
  if (!terminal::UseTerminalConsole()) {
    Tell(true, Say(Words::kNoTerminal));
    return kOutputProblem;
  }
  View v{spoolPath, survey, {}, 0, {}, 0, 0};
  v.reader.Open(spoolPath);
  ShowPage(v, 0);
  ExitCode code = kPrintedOk;
  console::SetColour("+n");
  console::OpenWindow(1, 1, 25, 80);
  console::DrawFrame(2);
  const size_t last = static_cast<size_t>(survey.pageCount) - 1;
  for (int key = 0; key != console::kKeyEscape;) {
    Draw(v);
    console::WaitKey(key);
    switch (key) {
      case console::kKeyUp:
        v.top = std::max(v.top - 1, 0);
        break;
      case console::kKeyDown:
        v.top = std::min(v.top + 1, LastTop(v));
        break;
      case console::kKeyLeft:
        v.left = std::max(v.left - kSideStep, 0);
        break;
      case console::kKeyRight:
        v.left = std::min(v.left + kSideStep, LastLeft(v));
        break;
      case console::kKeyPageUp:
        ShowPage(v, v.index > 0 ? v.index - 1 : 0);
        break;
      case console::kKeyPageDown:
        ShowPage(v, std::min(v.index + 1, last));
        break;
      case console::kKeyHome:
        ShowPage(v, 0);
        break;
      case console::kKeyEnd:
        ShowPage(v, last);
        break;
      case 'g':
      case 'G':
        if (size_t page = AskPage(survey.pageCount); page > 0) ShowPage(v, page - 1);
        break;
      case 'p':
      case 'P':
        code = PrintFromPreview(v);
        break;
      default:
        break;
    }
  }
  console::CloseWindow();
  console::SetColour("-");
  terminal::RestoreTerminal();
  return code;
}

}  // namespace kelprint
