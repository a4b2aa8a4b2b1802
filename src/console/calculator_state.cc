// Reading and writing KELCALC.TMP.  The file may be left over from another
// program or damaged, so the reader takes what it can from any bytes: every
// value read moves forward at least one byte, and every number is checked
// against the range the calculator can show before it is used.
#include "console/calculator_state.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "config/session_settings.h"
#include "format/text.h"
#include "platform/paths.h"
#include "platform/replace_file.h"

namespace console {
namespace {

// A valid file is a few kilobytes; a larger one is read only this far.
constexpr size_t kMaxFileBytes = 64 * 1024;

class ValueReader {
 public:
  explicit ValueReader(std::string_view text) : text_(text) {}

  // True when only blanks and line breaks are left.
  bool AtEnd() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    return pos_ >= text_.size();
  }

  // The next value: a quoted text without its quotes, or the characters up
  // to the next comma or line break without surrounding blanks.  The empty
  // text at the end.
  std::string Next() {
    if (AtEnd()) return {};
    std::string value;
    if (text_[pos_] == '"') {
      const size_t close = text_.find('"', pos_ + 1);
      const size_t end = close == std::string_view::npos ? text_.size() : close;
      value = text_.substr(pos_ + 1, end - pos_ - 1);
      pos_ = std::min(end + 1, text_.size());
      SkipToSeparator();
    } else {
      const size_t start = pos_;
      SkipToSeparator();
      value = format::Trim(text_.substr(start, pos_ - start));
    }
    if (pos_ < text_.size() && text_[pos_] == ',') ++pos_;
    return value;
  }

  double Number() {
    const std::string text = Next();
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() ? value : 0;
  }

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  void SkipToSeparator() {
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' &&
           text_[pos_] != '\n') {
      ++pos_;
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
};

// A whole number within [low, high], or fallback for anything else.
int InRange(double value, int low, int high, int fallback) {
  return value >= low && value <= high && value == std::trunc(value) ? static_cast<int>(value)
                                                                     : fallback;
}

bool Flag(double value) {
  return value != 0 && !std::isnan(value);
}

void ReadHeader(ValueReader& in, CalculatorState& s) {
  s.leftColumn = InRange(in.Number(), 1, kLastLeftColumn, s.leftColumn);
  s.tapeTop = InRange(in.Number(), kFirstTapeRow, kNoTape, s.tapeTop);
  s.entry = in.Number();
  s.accumulator = in.Number();
  s.cleared = Flag(in.Number());
  s.entryActive = Flag(in.Number());
  s.point = Flag(in.Number());
  s.decimals = InRange(in.Number(), 0, kMaxDecimals, 0);
  s.key = in.Next().substr(0, 2);
  s.pendingOperator = in.Next();
  if (s.pendingOperator.size() != 1 ||
      std::string_view("+-*/").find(s.pendingOperator[0]) == std::string_view::npos) {
    s.pendingOperator.clear();
  }
}

std::string Number(double value) {
  char text[400];
  const auto [end, error] =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  return error == std::errc() ? std::string(text, end) : "0";
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c != '"') quoted += c;
  }
  return quoted + "\"";
}

std::string FlagText(bool flag) {
  return flag ? "-1" : "0";
}

}  // namespace

CalculatorState ReadCalculatorState(std::string_view text) {
  CalculatorState s;
  ValueReader in(text);
  if (in.AtEnd()) return s;
  ReadHeader(in, s);
  for (TapeLine& line : s.tape) {
    if (in.AtEnd()) break;
    line.value = in.Number();
    line.point = Flag(in.Number());
    line.decimals = InRange(in.Number(), 0, kMaxDecimals, 0);
    const std::string mark = in.Next();
    line.mark = mark.empty() ? ' ' : mark[0];
  }
  return s;
}

std::string WriteCalculatorState(const CalculatorState& s) {
  std::string text = std::to_string(s.leftColumn) + "," + std::to_string(s.tapeTop) + "," +
                     Number(s.entry) + "," + Number(s.accumulator) + "\r\n";
  text += FlagText(s.cleared) + "," + FlagText(s.entryActive) + "," + FlagText(s.point) + "," +
          std::to_string(s.decimals) + "\r\n";
  text += Quoted(s.key) + "," + Quoted(s.pendingOperator) + "\r\n";
  for (const TapeLine& line : s.tape) {
    text += Number(line.value) + "," + FlagText(line.point) + "," + std::to_string(line.decimals) +
            "," + Quoted(std::string(1, line.mark)) + "\r\n";
  }
  return text;
}

std::string CalculatorStateFile() {
  return config::Settings().TerminalDir + "KELCALC.TMP";
}

CalculatorState LoadCalculatorState() {
  std::FILE* file = platform::OpenFile(CalculatorStateFile(), "rb");
  if (file == nullptr) {
    file = platform::ReplaceFile(CalculatorStateFile(), false);
    if (file != nullptr) std::fclose(file);
    return CalculatorState{};
  }
  std::string text(kMaxFileBytes, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return ReadCalculatorState(text);
}

void SaveCalculatorState(const CalculatorState& state) {
  // A new file in place of the old: a link there is replaced, not followed.
  std::FILE* file = platform::ReplaceFile(CalculatorStateFile(), false);
  if (file == nullptr) return;
  const std::string text = WriteCalculatorState(state);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

}  // namespace console
