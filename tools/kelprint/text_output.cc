// Text and raw printer output of laid-out pages.
#include <cerrno>
#include <cstring>
#include <utility>

#include "format/text.h"
#include "outputs.h"
#include "platform/cp850.h"

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
    if (pages_++ > 0) std::fputs("\f\n", out_);
    for (const std::string& line : page.lines) {
      std::string utf8 = platform::Cp850ToUtf8(format::TrimRight(line));
      utf8 += '\n';
      std::fwrite(utf8.data(), 1, utf8.size(), out_);
    }
  }
  bool Finish(std::string* error) override { return FinishStream(out_, error); }

 private:
  std::FILE* out_;
  int pages_ = 0;
};

// A continuous-form printer feeds the next form only on a form feed, so
// every page ends with one: without it the last receipt stays in the
// printer.
class RawWriter : public PageWriter {
 public:
  RawWriter(std::FILE* out, PrinterCommands commands) : out_(out), commands_(std::move(commands)) {}
  void AddPage(const Page& page) override {
    size_t control = 0;
    const auto sendControlsUpTo = [&](size_t line) {
      for (; control < page.controls.size() &&
             static_cast<size_t>(page.controls[control].line) <= line;
           ++control) {
        const std::string& bytes = commands_.Translate(page.controls[control].bytes);
        std::fwrite(bytes.data(), 1, bytes.size(), out_);
      }
    };
    for (size_t i = 0; i < page.lines.size(); ++i) {
      sendControlsUpTo(i);
      std::string line = format::TrimRight(page.lines[i]);
      line += "\r\n";
      std::fwrite(line.data(), 1, line.size(), out_);
    }
    sendControlsUpTo(static_cast<size_t>(-1));  // commands after the last text
    std::fputc('\f', out_);
  }
  bool Finish(std::string* error) override { return FinishStream(out_, error); }

 private:
  std::FILE* out_;
  PrinterCommands commands_;
};

}  // namespace

std::unique_ptr<PageWriter> MakeTextWriter(std::FILE* out) {
  return std::make_unique<TextWriter>(out);
}

std::unique_ptr<PageWriter> MakeRawWriter(std::FILE* out, PrinterCommands commands) {
  return std::make_unique<RawWriter>(out, std::move(commands));
}

}  // namespace kelprint
