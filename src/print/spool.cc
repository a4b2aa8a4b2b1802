// Spool records: DEVICE, PAGE, JUS, "*" control and text lines, CR LF ended.
#include "print/spool.h"

#include <cmath>
#include <cstdio>

#include "format/text.h"
#include "platform/paths.h"
#include "startup/settings.h"

namespace print {
namespace {

// A byte that cannot stand in a record's text: it would end the line or
// drive the printer.
bool IsControlByte(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  return b < 32 || b == 127 || b == 255;
}

// Writes one record line.  Control bytes in any text (a device or control
// text from a damaged setting as much as a printed text) become spaces, so
// that every record stays one line.
void WriteRecord(std::string_view line) {
  SpoolState& s = Spool();
  if (s.file == nullptr) {
    s.failed = true;
    return;
  }
  std::string record(line);
  for (char& c : record) {
    if (IsControlByte(c)) c = ' ';
  }
  record += "\r\n";
  if (std::fwrite(record.data(), 1, record.size(), s.file) != record.size()) s.failed = true;
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
        between = text.substr(open, close == std::string::npos ? std::string::npos
                                                               : close - open + 1);
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

std::string SpoolPath() { return startup::Settings().SessionDir + "kelprint.tmp"; }

std::string SpoolNumber(int value) {
  std::string digits = std::to_string(value < 0 ? -static_cast<long>(value) : value);
  return (value < 0 ? "-" : " ") + digits + " ";
}

bool OpenSpool(std::string_view device) {
  SpoolState& s = Spool();
  if (s.file != nullptr) std::fclose(s.file);
  s.file = platform::OpenFile(SpoolPath(), "wb");
  s.failed = s.file == nullptr;
  if (s.file == nullptr) return false;
  WriteRecord("DEVICE" + std::string(device));
  return !s.failed;
}

void SpoolPage(int pageLength) {
  SpoolState& s = Spool();
  WriteRecord("PAGE" + SpoolNumber(pageLength));
  s.pageLength = pageLength;
  s.linesUsed = 0;
  s.currentColumn = 0;
}

void SpoolJustify(std::string& justification) {
  justification = JustificationCode(justification);
  WriteRecord("JUS" + justification);
}

void SpoolControl(std::string_view text) { WriteRecord("*" + std::string(text)); }

void SpoolText(int column, std::string_view text, int advance) {
  SpoolState& s = Spool();
  std::string copy(text);
  for (char& c : copy) {
    if (IsControlByte(c)) c = ' ';
  }
  if (s.linesUsed >= s.pageLength) SpoolPage(s.pageLength);
  WriteRecord(SpoolNumber(column) + "," + copy + "," + SpoolNumber(advance));
  if (advance != 0) {
    s.linesUsed += advance;
    s.currentColumn = 0;
  } else {
    if (column != 0) s.currentColumn = column;
    s.currentColumn += static_cast<int>(copy.size());
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
