// Spool records: DEVICE, PAGE, JUS, "*" control and text lines, CR LF ended.
#include "print/spool.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "config/settings.h"
#include "format/text.h"
#include "platform/replace_file.h"

namespace print {
namespace {

// The spool is written in large blocks: a run of receipts makes hundreds of
// megabytes of short records.
constexpr size_t kSpoolBuffer = 1 << 20;
// Each byte as a text record carries it: control bytes become spaces.
constexpr std::array<char, 256> kPrintable = [] {
  std::array<char, 256> table{};
  for (int b = 0; b < 256; ++b) {
    table[b] = b < 32 || b == 127 || b == 255 ? ' ' : static_cast<char>(b);
  }
  return table;
}();
// Justification directives remembered with their codes.
constexpr size_t kKnownJustifications = 32;

// Writes the record in s.record (without its CR LF).
void WriteScratch() {
  SpoolState& s = Spool();
  if (s.file == nullptr) {
    s.failed = true;
    return;
  }
  s.record += "\r\n";
  // One writer, so the stream's lock is not needed.
  if (fwrite_unlocked(s.record.data(), 1, s.record.size(), s.file) != s.record.size()) {
    s.failed = true;
  }
}

// Writes a record: its tag and its text.  Control bytes in the text (a
// device or control text from a damaged setting as much as a printed text)
// become spaces, so that every record stays one line.
void WriteRecord(std::string_view head, std::string_view rest = {}) {
  std::string& record = Spool().record;
  record.assign(head);
  for (char c : rest) record += kPrintable[static_cast<unsigned char>(c)];
  WriteScratch();
}

// SpoolNumber appended to out.
void AppendNumber(std::string& out, int value) {
  if (value >= 0 && value < 10) {  // columns and advances are mostly small
    const char text[] = {' ', static_cast<char>('0' + value), ' '};
    out.append(text, 3);
    return;
  }
  char digits[16];
  const long magnitude = value < 0 ? -static_cast<long>(value) : value;
  char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  out += value < 0 ? '-' : ' ';
  out.append(digits, end);
  out += ' ';
}

// The absolute value of the number at the start of text (0 when none),
// written as a decimal conversion with its leading space.
std::string LeadingNumberText(std::string_view text) {
  double value = std::fabs(format::NumericValue(text));
  char buf[64];
  std::snprintf(buf, sizeof buf, " %.15g", value);
  return buf;
}

std::string JustificationCode(std::string_view given) {
  std::string text = format::Trim(given);
  char first = text.empty() ? ' ' : format::UpperCase(text.substr(0, 1))[0];
  switch (first) {
    case 'C':
      return "C";
    case 'D':
    case 'R':
      return "D";
    case 'A':
    case 'B':
      return "A";
    case 'N': {
      size_t open = text.find('\\');
      std::string between;
      if (open != std::string::npos) {
        size_t close = text.find('\\', open + 1);
        between =
            text.substr(open, close == std::string::npos ? std::string::npos : close - open + 1);
      }
      return "N" + LeadingNumberText(std::string_view(text).substr(1)) + " " + between;
    }
    default:
      return "E";
  }
}

}  // namespace

SpoolState& Spool() {
  static SpoolState state;
  return state;
}

void ResetSpool() {
  if (Spool().file != nullptr) std::fclose(Spool().file);
  Spool() = SpoolState{};
}

std::string SpoolPath() {
  return config::Settings().SessionDir + "kelprint.tmp";
}

std::string SpoolNumber(int value) {
  std::string text;
  AppendNumber(text, value);
  return text;
}

bool OpenSpool(std::string_view device) {
  SpoolState& s = Spool();
  if (s.file != nullptr) std::fclose(s.file);
  // A new file in place of whatever is there: a link left under the
  // spool's name is replaced, never written through.
  s.file = platform::ReplaceFile(SpoolPath(), false);
  s.failed = s.file == nullptr;
  if (s.file == nullptr) return false;
  std::setvbuf(s.file, nullptr, _IOFBF, kSpoolBuffer);
  WriteRecord("DEVICE", device);
  return !s.failed;
}

void SpoolPage(int pageLength) {
  SpoolState& s = Spool();
  s.record = "PAGE";
  AppendNumber(s.record, pageLength);
  WriteScratch();
  s.pageLength = pageLength;
  s.linesUsed = 0;
  s.currentColumn = 0;
}

void SpoolJustify(std::string& justification) {
  // The code depends on the text alone, and a run of receipts uses a
  // handful of directives over and over: each is worked out once.
  std::vector<std::pair<std::string, std::string>>& known = Spool().justifications;
  auto at = std::find_if(known.begin(), known.end(),
                         [&](const auto& entry) { return entry.first == justification; });
  if (at == known.end()) {
    if (known.size() >= kKnownJustifications) known.clear();
    known.emplace_back(justification, JustificationCode(justification));
    at = known.end() - 1;
  }
  justification = at->second;
  WriteRecord("JUS", justification);
}

void SpoolControl(std::string_view text) {
  WriteRecord("*", text);
}

void SpoolText(int column, std::string_view text, int advance) {
  SpoolState& s = Spool();
  if (s.linesUsed >= s.pageLength) SpoolPage(s.pageLength);
  s.record.clear();
  AppendNumber(s.record, column);
  s.record += ',';
  const size_t start = s.record.size();
  s.record.resize(start + text.size());
  char* out = s.record.data() + start;
  for (size_t i = 0; i < text.size(); ++i) out[i] = kPrintable[static_cast<unsigned char>(text[i])];
  s.record += ',';
  AppendNumber(s.record, advance);
  WriteScratch();
  if (advance != 0) {
    s.linesUsed += advance;
    s.currentColumn = 0;
  } else {
    if (column != 0) s.currentColumn = column;
    s.currentColumn += static_cast<int>(text.size());
  }
}

bool CloseSpool() {
  SpoolState& s = Spool();
  if (s.file == nullptr) return false;
  bool ok = !s.failed && std::fflush(s.file) == 0 && !std::ferror(s.file);
  ok = std::fclose(s.file) == 0 && ok;
  s.file = nullptr;
  return ok;
}

}  // namespace print
