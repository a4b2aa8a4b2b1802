// Reading the screen-form file, and the presets of the selection screen.
#include "office/screen_form.h"

#include <algorithm>
#include <cmath>

#include "config/language.h"
#include "config/program_identity.h"
#include "config/session_settings.h"
#include "format/dates.h"
#include "format/packed.h"
#include "format/picture.h"
#include "format/text.h"
#include "platform/paths.h"
#include "platform/program_state.h"

namespace office {
namespace {

// Limits that keep a damaged file from asking for absurd tables: far above
// any real form (one screen of 80 x 25 cells).
constexpr int kMaxCount = 999;
constexpr int kMaxLength = 2000;

// Values of the file one after another, as the form's writer put them:
// separated by commas or line ends (CR LF, CR or LF), texts optionally in
// double quotes.  Blank lines between values are passed over.
class ValueReader {
 public:
  explicit ValueReader(std::string_view text) : text_(text) {}

  bool AtEnd() {
    SkipBlankLines();
    return pos_ >= text_.size();
  }

  // Passes over comment lines; used only where a group may begin.
  void SkipComments() {
    while (!AtEnd()) {
      size_t p = pos_;
      while (p < text_.size() && text_[p] == ' ') ++p;
      if (p >= text_.size() || text_[p] != '\'') return;
      while (p < text_.size() && !IsLineEnd(text_[p])) ++p;
      pos_ = p;
      SkipLineEnd();
    }
  }

  std::string Text() {
    SkipBlankLines();
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    std::string value;
    if (pos_ < text_.size() && text_[pos_] == '"') {
      size_t close = text_.find('"', pos_ + 1);
      size_t end = close == std::string_view::npos ? text_.size() : close;
      value = text_.substr(pos_ + 1, end - pos_ - 1);
      pos_ = std::min(end + 1, text_.size());
      while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
    } else {
      size_t start = pos_;
      while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
      value = format::Trim(text_.substr(start, pos_ - start));
    }
    if (pos_ < text_.size() && text_[pos_] == ',') {
      ++pos_;
    } else {
      SkipLineEnd();
    }
    return value;
  }

  int Number() {
    double v = std::round(format::NumericValue(Text()));
    return static_cast<int>(std::clamp(v, -32768.0, 32767.0));
  }

 private:
  static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

  void SkipLineEnd() {
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  }

  void SkipBlankLines() {
    for (;;) {
      size_t p = pos_;
      while (p < text_.size() && text_[p] == ' ') ++p;
      if (p < text_.size() && IsLineEnd(text_[p])) {
        pos_ = p;
        SkipLineEnd();
      } else {
        return;
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
};

std::int16_t Small(int v) {
  return static_cast<std::int16_t>(v);
}

ScreenField ReadField(ValueReader& in) {
  ScreenField f;
  f.row = Small(in.Number());
  f.column = Small(in.Number());
  f.label = config::TranslateText(in.Text());
  f.length = Small(std::clamp(in.Number(), 0, kMaxLength));
  f.lineWidth = Small(in.Number());
  f.descriptionWidth = Small(in.Number());
  f.flags = Small(in.Number());
  f.type = Small(in.Number());
  f.browseList = Small(in.Number());
  f.prompt = config::TranslateText(in.Text());
  f.value.assign(static_cast<size_t>(f.length), ' ');
  return f;
}

void ReadScreen(ValueReader& in, Screen& s) {
  s.keyList = in.Text();
  int fieldCount = std::clamp(in.Number(), 0, kMaxCount);
  s.link = Small(in.Number());
  for (std::int16_t& w : s.window) w = Small(in.Number());
  s.fields.clear();
  for (int j = 0; j < fieldCount && !in.AtEnd(); ++j) s.fields.push_back(ReadField(in));
}

void ReadBrowse(ValueReader& in, BrowseDefinition& b) {
  b.fileId = Small(in.Number());
  b.keyNumber = Small(in.Number());
  b.top = Small(in.Number());
  b.left = Small(in.Number());
  b.bottom = Small(in.Number());
  b.right = Small(in.Number());
  b.filterScreen = Small(in.Number());
  b.title = config::TranslateText(in.Text());
  b.subList = Small(in.Number());
}

void Preset(int field, std::string_view text) {
  StoreFieldValue(1, field, text);
}

}  // namespace

ScreenFormState& ScreenForms() {
  static ScreenFormState state;
  return state;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kOffice, "office::ScreenForms", [] { ScreenForms() = ScreenFormState{}; });
}  // namespace

Screen* ScreenAt(int n) {
  auto& screens = ScreenForms().screens;
  if (n < 1 || n > static_cast<int>(screens.size())) return nullptr;
  return &screens[static_cast<size_t>(n - 1)];
}

ScreenField* FieldAt(int screen, int field) {
  Screen* s = ScreenAt(screen);
  if (s == nullptr || field < 1 || field > static_cast<int>(s->fields.size())) return nullptr;
  return &s->fields[static_cast<size_t>(field - 1)];
}

void StoreFieldValue(int screen, int field, std::string_view text) {
  ScreenField* f = FieldAt(screen, field);
  if (f != nullptr) f->value = format::FitLeft(text, static_cast<size_t>(f->length));
}

std::string ScreenFormPath() {
  return "FORMS\\" + config::Program().ProgramName + ".QFM";
}

void ReadScreenFormText(std::string_view contents) {
  ScreenFormState& form = ScreenForms();
  form = ScreenFormState{};
  ValueReader in(contents);

  in.SkipComments();
  if (in.AtEnd()) return;
  int screenCount = std::clamp(in.Number(), 0, kMaxCount);
  form.largestFieldCount = Small(std::clamp(in.Number(), 0, kMaxCount));
  form.screens.resize(static_cast<size_t>(screenCount));

  for (Screen& s : form.screens) {
    in.SkipComments();
    if (in.AtEnd()) return;
    ReadScreen(in, s);
  }

  in.SkipComments();
  if (in.AtEnd()) return;
  int browseCount = std::clamp(in.Number(), 0, kMaxCount);
  form.browse.resize(static_cast<size_t>(browseCount) + 1);
  for (int c = 1; c <= browseCount; ++c) {
    in.SkipComments();
    if (in.AtEnd()) return;
    ReadBrowse(in, form.browse[static_cast<size_t>(c)]);
  }
}

bool ReadScreenForm(const std::string& path) {
  std::string contents;
  if (!platform::ReadWholeFile(path, &contents)) return false;
  ReadScreenFormText(contents);
  return true;
}

void PresetSelection() {
  const std::string& date = config::Settings().WorkingDate;
  const int month = format::MonthOf(date);
  Preset(1, format::DateDigits(date));
  Preset(2, "1");
  Preset(3, "0");
  Preset(4, "999");
  Preset(5, "999");
  Preset(6, format::PlainNumber(month));
  for (int form = 0; form < 3; ++form) {
    Preset(7 + 3 * form, "S");
    Preset(8 + 3 * form, "");
    Preset(9 + 3 * form, "99");
  }
  for (int field = 16; field <= 29; ++field) Preset(field, "S");

  if (config::Program().CustomerVariant != 1) return;
  for (int field : {8, 9, 11, 12, 14, 15}) {
    ScreenField* f = FieldAt(1, field);
    if (f == nullptr) continue;
    f->length = 3;
    f->column = Small(f->column - 1);
    Preset(field, field % 3 == 2 ? "   " : "999");
  }
}

}  // namespace office
