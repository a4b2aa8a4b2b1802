// Field display and checks of the input screens, the decoration of the
// selection screen and the selection made when it is left.
#include "screens/selection_screens.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "config/language.h"
#include "config/session_settings.h"
#include "console/cells.h"
#include "console/window.h"
#include "format/dates.h"
#include "format/format_settings.h"
#include "format/long_dates.h"
#include "format/picture.h"
#include "format/text.h"
#include "office/screen_form.h"
#include "office/selection.h"
#include "screens/input_screen.h"
#include "terminal/cell_buffer.h"

namespace screens {
namespace {

constexpr int kSelectionScreen = 1;
constexpr int kConfirmationScreen = 2;
constexpr short kDisabled = 4;
constexpr short kMasked = 2;

int ValueColumn(const office::ScreenField& f) {
  return f.column + static_cast<int>(f.label.size());
}

// The number mask of a type 3 field: the last n characters of "ZZ9".
std::string NumberMask(const office::ScreenField& f) {
  const std::string mask = "ZZ9";
  if (f.type != 3) return mask;
  const size_t n = std::min(f.value.size(), mask.size());
  return mask.substr(mask.size() - n);
}

// The description of the choice item whose code is the value.
std::string ChoiceDescription(const office::ScreenField& f, bool* found) {
  const std::string& list = f.choiceList;
  *found = false;
  for (size_t bar = list.find('|'); bar != std::string::npos;) {
    const size_t next = list.find('|', bar + 1);
    const std::string item =
        list.substr(bar + 1, next == std::string::npos ? next : next - bar - 1);
    const size_t comma = item.find(',');
    const std::string code = item.substr(0, comma);
    if (format::FitLeft(code, f.value.size()) == f.value) {
      *found = true;
      return comma == std::string::npos ? std::string() : item.substr(comma + 1);
    }
    bar = next;
  }
  return {};
}

void ShowValue(const office::ScreenField& f) {
  const size_t room = f.value.size() + static_cast<size_t>(std::max<short>(f.descriptionWidth, 0));
  switch (f.type) {
    case 1:
      terminal::WriteText(format::FormatDate(format::ParseDate(f.value), 0, "dma"));
      return;
    case 2:
    case 3:
      terminal::WriteText(
          format::FormatPicture(NumberMask(f), std::atof(format::Trim(f.value).c_str())));
      return;
    default:
      break;
  }
  if (!f.choiceList.empty()) {
    bool found = false;
    const std::string description = ChoiceDescription(f, &found);
    if (found) terminal::WriteText(format::FitLeft(description, room));
  } else if (f.lineWidth > 0) {
    for (size_t k = 0; k * static_cast<size_t>(f.lineWidth) < f.value.size(); ++k) {
      console::WindowLocate(f.row + static_cast<int>(k), ValueColumn(f));
      terminal::WriteText(
          f.value.substr(k * static_cast<size_t>(f.lineWidth), static_cast<size_t>(f.lineWidth)));
    }
  } else {
    terminal::WriteText(f.value);
  }
}

// Enables or disables the two fields after a switch by its value.
void ApplySwitch(int screen, int field) {
  const bool on = office::FieldAt(screen, field)->value == "S";
  for (int k = field + 1; k <= field + 2; ++k) {
    office::ScreenField* f = office::FieldAt(screen, k);
    if (f == nullptr) continue;
    f->flags = static_cast<short>(on ? f->flags & ~kDisabled : f->flags | kDisabled);
    ShowField(screen, k);
  }
}

void DrawTitle() {
  const std::string& title = config::Settings().MenuTitle;
  const int column = static_cast<int>(std::nearbyint(41.0 - static_cast<double>(title.size()) / 2));
  console::SetColour("rh");
  console::WriteAt(1, std::max(column, 1), title);
  console::SetColour("n");
}

void DrawSelectionRules() {
  console::WindowLocate(9, 1);
  terminal::WriteText(std::string(80, '-'));
  console::WindowLocate(10, 1);
  terminal::WriteText(config::TranslateText("FORMES DE COBRAMENT :"));
  console::WindowLocate(12, 1);
  terminal::WriteText(std::string(80, '-'));
  console::WindowLocate(13, 1);
  terminal::WriteText(config::TranslateText("CONCEPTES A EMETRE :"));
  console::WindowLocate(22, 1);
  terminal::WriteText(std::string(80, '='));
}

// The date check; on acceptance a new date also sets the period field.
int AcceptDate(int screen, std::string& text, int field) {
  if (format::Trim(text).empty()) text = format::DateDigits(config::Settings().WorkingDate);
  if (format::IsInvalidDate(text)) return 1;
  office::ScreenField* f = office::FieldAt(screen, field);
  office::ScreenField* period = office::FieldAt(screen, field + 5);
  if (period != nullptr && format::FitLeft(text, f->value.size()) != f->value) {
    period->value =
        format::FitLeft(format::PlainNumber(static_cast<double>(format::Formats().LastMonth)),
                        period->value.size());
    ShowField(screen, field + 5);
  }
  return 0;
}

}  // namespace

void DrawScreen(int screen) {
  office::Screen* s = office::ScreenAt(screen);
  if (s == nullptr) return;
  DrawTitle();
  for (const office::ScreenField& f : s->fields) {
    console::WindowLocate(f.row, f.column);
    terminal::WriteText(f.label);
  }
  if (screen == kSelectionScreen) DrawSelectionRules();
  console::SetColour("h");
  for (size_t k = 1; k <= s->fields.size(); ++k) ShowField(screen, static_cast<int>(k));
}

void ShowField(int screen, int field) {
  office::ScreenField* f = office::FieldAt(screen, field);
  if (f == nullptr) return;
  if (f->type == 4) ApplySwitch(screen, field);
  console::WindowLocate(f->row, ValueColumn(*f));
  if (f->flags & kDisabled) {
    terminal::WriteText(
        std::string(static_cast<size_t>(std::max(f->length + f->descriptionWidth, 0)), '-'));
  } else if (!(f->flags & kMasked)) {
    ShowValue(*f);
  }
}

int AcceptField(int screen, const std::string& typed, int field, int /*key*/) {
  office::ScreenField* f = office::FieldAt(screen, field);
  if (f == nullptr) return 1;
  std::string text = typed;
  if (f->type == 1 && AcceptDate(screen, text, field) != 0) return 1;
  if ((f->type == 2 || f->type == 3) && format::CheckNumberEntry(text, NumberMask(*f))) return 1;
  f->value = format::FitLeft(text, f->value.size());
  ShowField(screen, field);
  return 0;
}

int LeaveScreen(int screen, int key) {
  if (key == 27 || screen != kSelectionScreen) return 0;
  office::CurrentSelection() = office::SelectionFromScreen();
  if (!office::SelectionProblem(office::CurrentSelection()).empty()) return 1;
  office::ScreenField* answer = office::FieldAt(kConfirmationScreen, 1);
  if (answer == nullptr) return 1;
  answer->value = std::string(answer->value.size(), ' ');
  int confirmKey = 0;
  InputScreen(kConfirmationScreen, 0, 0, confirmKey);
  return format::TrimRight(answer->value) == "S" ? 0 : 1;
}

}  // namespace screens
