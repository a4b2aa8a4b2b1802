// Spool records: DEVICE, PAGE, JUS, "*" control and text lines, CR LF ended.
#include "print/spool.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "config/session_settings.h"
#include "format/text.h"
#include "platform/program_state.h"
#include "platform/timing.h"

namespace print {
namespace {

// The spool is written in large blocks: a run of receipts makes hundreds of
// megabytes of short records.  The records are formatted straight into
// SpoolState::pending and handed to the file a block at a time.
constexpr size_t kSpoolBuffer = 1 << 20;
// Each byte as a text or justification record carries it: control bytes
// become spaces.
constexpr std::array<char, 256> kPrintable = [] {
  std::array<char, 256> table{};
  for (int b = 0; b < 256; ++b) {
    table[b] = b < 32 || b == 127 || b == 255 ? ' ' : static_cast<char>(b);
  }
  return table;
}();
// Each byte as a device or control record carries it: printer commands are
// made of control bytes and pass unchanged; only CR and LF, which would end
// the record's line, become spaces.
constexpr std::array<char, 256> kOneLine = [] {
  std::array<char, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = b == '\r' || b == '\n' ? ' ' : static_cast<char>(b);
  return table;
}();
// Each byte as the text of a QR code carries it: the code holds printable
// ASCII only, as its readers expect.
constexpr std::array<char, 256> kAscii = [] {
  std::array<char, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = b < 32 || b > 126 ? ' ' : static_cast<char>(b);
  return table;
}();
// Justification directives remembered with their codes.
constexpr size_t kKnownJustifications = 32;

// Hands the pending records to the file.
void FlushPending(SpoolState& s) {
  if (s.pendingUsed == 0) return;
  // One writer, so the stream's lock is not needed.
  if (s.file == nullptr ||
      fwrite_unlocked(s.pending.data(), 1, s.pendingUsed, s.file) != s.pendingUsed) {
    s.failed = true;
  }
  s.pendingUsed = 0;
}

// Where a record of at most `longest` bytes (its CR LF included) is
// formatted: after the pending records, handed to the file first when
// there is no room left.
char* RecordStart(SpoolState& s, size_t longest) {
  if (s.pendingUsed + longest > s.pending.size()) {
    FlushPending(s);
    if (longest > s.pending.size()) s.pending.resize(std::max(kSpoolBuffer, longest));
  }
  return s.pending.data() + s.pendingUsed;
}

// Ends the record formatted up to end with its CR LF; with no file open
// the record is dropped as a failed write.
void EndRecord(SpoolState& s, char* end) {
  if (s.file == nullptr) {
    s.failed = true;
    return;
  }
  *end++ = '\r';
  *end++ = '\n';
  s.pendingUsed = static_cast<size_t>(end - s.pending.data());
}

// Room a number takes at most: sign position, 10 digits, space.
constexpr size_t kNumberRoom = 12;

// SpoolNumber written at out; the end of it.
char* PutNumber(char* out, int value) {
  if (value >= 0 && value < 10) {  // columns and advances are mostly small
    out[0] = ' ';
    out[1] = static_cast<char>('0' + value);
    out[2] = ' ';
    return out + 3;
  }
  const long magnitude = value < 0 ? -static_cast<long>(value) : value;
  *out++ = value < 0 ? '-' : ' ';
  out = std::to_chars(out, out + 10, magnitude).ptr;
  *out++ = ' ';
  return out;
}

// text written at out, each byte through bytes (kPrintable or kOneLine),
// so that every record stays one line; the end of it.
char* PutMapped(char* out, std::string_view text, const std::array<char, 256>& bytes) {
  for (char c : text) *out++ = bytes[static_cast<unsigned char>(c)];
  return out;
}

// Writes a record: its tag and its text.
void WriteRecord(std::string_view head, std::string_view rest, const std::array<char, 256>& bytes) {
  SpoolState& s = Spool();
  char* out = RecordStart(s, head.size() + rest.size() + 2);
  out = std::copy(head.begin(), head.end(), out);
  EndRecord(s, PutMapped(out, rest, bytes));
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
      const std::string count = LeadingNumberText(std::string_view(text).substr(1));
      return "N" + count + " " + between;
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

namespace {

void ResetSpool() {
  Spool() = SpoolState{};
}

[[maybe_unused]] const bool registered =
    platform::RegisterStateReset(platform::Layer::kPrint, "print::Spool", ResetSpool);

}  // namespace

bool IsScreenDevice(std::string_view device) {
  return format::UpperCase(format::Trim(device)) == kScreenDevice;
}

std::string SpoolPath() {
  return config::Settings().SessionDir + "kelprint.tmp";
}

std::string SpoolNumber(int value) {
  char text[kNumberRoom];
  return std::string(text, PutNumber(text, value));
}

bool OpenSpool(std::string_view device) {
  SpoolState& s = Spool();
  s.pendingUsed = 0;  // records of a spool left open go with it
  // Written beside the spool's name and renamed over it when complete: a
  // link left under the name is replaced, never written through.
  s.newFile = std::make_unique<platform::NewFile>(SpoolPath());
  s.file = s.newFile->file();
  s.failed = s.file == nullptr;
  if (s.file == nullptr) {
    s.newFile.reset();
    return false;
  }
  std::setvbuf(s.file, nullptr, _IOFBF, kSpoolBuffer);
  WriteRecord("DEVICE", device, kOneLine);
  return !s.failed;
}

void SpoolPage(int pageLength) {
  const platform::TimedStepScope timed(platform::TimedStep::kSpoolWrite);
  SpoolState& s = Spool();
  char* out = RecordStart(s, 4 + kNumberRoom + 2);
  out = std::copy_n("PAGE", 4, out);
  EndRecord(s, PutNumber(out, pageLength));
  s.pageLength = pageLength;
  s.linesUsed = 0;
  s.currentColumn = 0;
}

void SpoolJustify(std::string& justification) {
  const platform::TimedStepScope timed(platform::TimedStep::kSpoolWrite);
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
  WriteRecord("JUS", justification, kPrintable);
}

void SpoolControl(std::string_view text) {
  const platform::TimedStepScope timed(platform::TimedStep::kSpoolWrite);
  WriteRecord("*", text, kOneLine);
}

void SpoolText(int column, std::string_view text, int advance) {
  const platform::TimedStepScope timed(platform::TimedStep::kSpoolWrite);
  SpoolState& s = Spool();
  if (s.linesUsed >= s.pageLength) SpoolPage(s.pageLength);
  char* out = RecordStart(s, 2 * kNumberRoom + text.size() + 4);
  out = PutNumber(out, column);
  *out++ = ',';
  out = PutMapped(out, text, kPrintable);
  *out++ = ',';
  EndRecord(s, PutNumber(out, advance));
  if (advance != 0) {
    s.linesUsed += advance;
    s.currentColumn = 0;
  } else {
    if (column != 0) s.currentColumn = column;
    s.currentColumn += static_cast<int>(text.size());
  }
}

void SpoolQrCode(int column, int line, int sizeMm, int freeColumns, std::string_view text,
                 std::string_view note) {
  const platform::TimedStepScope timed(platform::TimedStep::kSpoolWrite);
  SpoolState& s = Spool();
  char* out = RecordStart(s, 2 + 4 * (kNumberRoom + 1) + text.size() + 2);
  out = std::copy_n(kQrRecord, 2, out);
  for (int number : {column, line, sizeMm, freeColumns}) {
    out = PutNumber(out, number);
    *out++ = ',';
  }
  EndRecord(s, PutMapped(out, text, kAscii));
  if (!note.empty()) WriteRecord(kQrNoteRecord, note, kPrintable);
}

bool CloseSpool() {
  SpoolState& s = Spool();
  if (s.file == nullptr) return false;
  WriteRecord(kSpoolEndRecord, "", kOneLine);
  FlushPending(s);
  const bool ok = !s.failed && s.newFile->Commit();
  s.newFile.reset();
  s.file = nullptr;
  return ok;
}

void AbandonSpool() {
  SpoolState& s = Spool();
  s.pendingUsed = 0;
  s.newFile.reset();
  s.file = nullptr;
}

}  // namespace print
