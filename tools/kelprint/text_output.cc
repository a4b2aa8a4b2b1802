// Text and raw printer output of laid-out pages.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "escp_qr.h"
#include "format/text.h"
#include "outputs.h"
#include "platform/cp850.h"
#include "qr_code.h"

namespace kelprint {
namespace {

bool FinishStream(std::FILE* out, std::string* error) {
  if (std::fflush(out) != 0 || std::ferror(out) != 0) {
    *error = std::strerror(errno != 0 ? errno : EIO);
    return false;
  }
  return true;
}

class TextWriter : public PageWriter {
 public:
  explicit TextWriter(std::FILE* out) : out_(out) {}
  void AddPage(const Page& page) override {
    if (!page.codes.empty()) {
      Page withCodes = page;
      PutQrTexts(withCodes);
      return WriteLines(withCodes);
    }
    WriteLines(page);
  }
  bool Finish(std::string* error) override { return FinishStream(out_, error); }

 private:
  void WriteLines(const Page& page) {
    if (pages_++ > 0) std::fputs("\f\n", out_);
    for (const std::string& line : page.lines) {
      std::string utf8 = platform::Cp850ToUtf8(format::TrimRight(line));
      utf8 += '\n';
      std::fwrite(utf8.data(), 1, utf8.size(), out_);
    }
  }

  std::FILE* out_;
  int pages_ = 0;
};

// A continuous-form printer feeds the next form only on a form feed, so
// every page ends with one: without it the last receipt stays in the
// printer.
class RawWriter : public PageWriter {
 public:
  RawWriter(std::FILE* out, PrinterCommands commands)
      : out_(out), commands_(std::move(commands)), pins_(commands_.Pins()) {}
  void AddPage(const Page& page) override {
    control_ = 0;
    if (page.codes.empty()) {
      WriteLines(page, page.lines, 0, page.lines.size());
    } else {
      WriteWithCodes(page);
    }
    SendControlsUpTo(page, static_cast<size_t>(-1));  // commands after the last text
    std::fputc('\f', out_);
  }
  bool Finish(std::string* error) override { return FinishStream(out_, error); }

 private:
  void SendControlsUpTo(const Page& page, size_t line) {
    for (; control_ < page.controls.size() &&
           static_cast<size_t>(page.controls[control_].line) <= line;
         ++control_) {
      const std::string& bytes = commands_.Translate(page.controls[control_].bytes);
      std::fwrite(bytes.data(), 1, bytes.size(), out_);
    }
  }

  // The printer commands before a line and its text, without a line end.
  std::string LineBytes(const Page& page, const std::vector<std::string>& lines, size_t line) {
    SendControlsUpTo(page, line);
    return format::TrimRight(lines[line]);
  }

  void WriteLines(const Page& page, const std::vector<std::string>& lines, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
      const std::string line = LineBytes(page, lines, i) + "\r\n";
      std::fwrite(line.data(), 1, line.size(), out_);
    }
  }

  // The lines with each code's legends among them and its bit image beside
  // the lines under its heading.  Codes are drawn in line order; one that
  // would start among the lines of an earlier one keeps only its legends.
  void WriteWithCodes(const Page& page) {
    std::vector<std::string> lines = page.lines;
    std::vector<std::pair<QrMatrix, const QrCode*>> drawn;
    for (const QrCode& code : page.codes) {
      std::optional<QrMatrix> m = EncodeQr(code.text);
      PutQrLegends(lines, code, m ? EscpCode(code, *m, pins_).Lines() : 0);
      if (m) drawn.emplace_back(std::move(*m), &code);
    }
    std::sort(drawn.begin(), drawn.end(),
              [](const auto& a, const auto& b) { return a.second->line < b.second->line; });
    size_t next = 0;
    for (const auto& [matrix, code] : drawn) {
      const size_t first = static_cast<size_t>(code->line) + 1;
      if (first < next) continue;
      WriteLines(page, lines, next, first);
      const EscpCode image(*code, matrix, pins_);
      std::vector<std::string> texts;
      for (size_t i = first; i < first + static_cast<size_t>(image.Lines()); ++i) {
        texts.push_back(LineBytes(page, lines, i));
      }
      const std::string bytes = image.Bytes(texts);
      std::fwrite(bytes.data(), 1, bytes.size(), out_);
      next = first + texts.size();
    }
    WriteLines(page, lines, next, lines.size());
  }

  std::FILE* out_;
  PrinterCommands commands_;
  int pins_;
  size_t control_ = 0;  // the page's next printer command
};

}  // namespace

std::unique_ptr<PageWriter> MakeTextWriter(std::FILE* out) {
  return std::make_unique<TextWriter>(out);
}

std::unique_ptr<PageWriter> MakeRawWriter(std::FILE* out, PrinterCommands commands) {
  return std::make_unique<RawWriter>(out, std::move(commands));
}

}  // namespace kelprint
