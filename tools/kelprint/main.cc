// KELPRINT: the office's print program.  Reads the spool that QANTIRES left
// in the session folder and turns it into a PDF (or a text file).
//
// Where the output goes: --pdf FILE or --text FILE when given; otherwise the
// spool's device text when it names a .pdf or .txt file (relative names are
// taken in the session folder); otherwise kelprint.pdf in the session folder.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "format/text.h"
#include "outputs.h"
#include "platform/paths.h"
#include "spool_layout.h"

namespace {

std::string SessionFolder() {
  const char* tmp = std::getenv("KELTMP");
  std::string dir = tmp != nullptr ? tmp : "";
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/' && dir.back() != ':') dir += '\\';
  return dir;
}

bool EndsWithCaseless(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         format::UpperCase(text.substr(text.size() - suffix.size())) == format::UpperCase(suffix);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"KELPRINT - prints the spool file of QANTIRES (kelprint.tmp in KELTMP) as PDF or text."};
  app.set_version_flag("--version", "kelprint " QT_VERSION);
  std::string spool = SessionFolder() + "kelprint.tmp";
  std::string pdf, text;
  app.add_option("--spool", spool, "spool file to read")->capture_default_str();
  app.add_option("--pdf", pdf, "write the pages to this PDF file");
  app.add_option("--text", text, "write the pages to this text file (UTF-8)");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help ends with 0; every mistake in the options with 2.
    return app.exit(e) == 0 ? 0 : 2;
  }

  std::string contents;
  if (!platform::ReadWholeFile(spool, &contents)) {
    std::fprintf(stderr, "kelprint: cannot read the spool file %s\n",
                 platform::NativePath(spool).c_str());
    return 1;
  }
  kelprint::Document doc = kelprint::LayOutSpool(contents);
  std::string device = format::Trim(doc.device);
  if (pdf.empty() && text.empty()) {
    std::string target = device.empty() ? "kelprint.pdf" : device;
    bool relative = target[0] != '/' && target[0] != '\\' && target.find(':') == std::string::npos;
    if (relative) target = SessionFolder() + target;
    if (EndsWithCaseless(device, ".txt")) {
      text = platform::NativePath(target);
    } else {
      pdf = EndsWithCaseless(device, ".pdf") ? platform::NativePath(target)
                                            : platform::NativePath(SessionFolder() + "kelprint.pdf");
    }
  }
  std::string error;
  if (!pdf.empty() && !kelprint::WritePdf(doc, pdf, &error)) {
    std::fprintf(stderr, "kelprint: %s\n", error.c_str());
    return 1;
  }
  if (!text.empty() && !kelprint::WriteText(doc, text, &error)) {
    std::fprintf(stderr, "kelprint: %s\n", error.c_str());
    return 1;
  }
  std::printf("kelprint: %zu page(s) written to %s\n", doc.pages.size(),
              (pdf.empty() ? text : pdf).c_str());
  if (doc.badRecords > 0) std::printf("kelprint: %d unreadable line(s) skipped\n", doc.badRecords);
  return 0;
}
