// Any bytes as the texts, justification texts, QR code texts and numbers of
// spool records: every record must stay one line (no CR or LF of its own)
// and the writer's counters must stay sound.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/session_settings.h"
#include "print/spool.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = "/tmp/qt_fuzz_spool_" + std::to_string(::getpid()) + "/";
  static const bool made = [] { return std::system(("mkdir -p " + dir).c_str()) == 0; }();
  if (!made) return 0;
  config::Settings().SessionDir = dir;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!print::OpenSpool(bytes.substr(0, 8))) return 0;
  print::SpoolPage(size % 70);
  for (size_t at = 0; at < bytes.size(); at += 16) {
    std::string piece = bytes.substr(at, 16);
    const int number = piece.empty() ? 0 : static_cast<signed char>(piece[0]);
    if (number % 3 == 0) {
      print::SpoolJustify(piece);
    } else if (number % 5 == 1) {
      print::SpoolQrCode(number, number, number, number, piece, piece);
    } else {
      print::SpoolText(number, piece, number % 4 - 1);
    }
  }
  print::CloseSpool();
  std::string written;
  if (FILE* f = std::fopen((dir + "kelprint.tmp").c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) written.append(buf, n);
    std::fclose(f);
  }
  // Every line break of the file ends a record: CR is always followed by LF.
  for (size_t i = 0; i < written.size(); ++i) {
    if (written[i] == '\r' && (i + 1 >= written.size() || written[i + 1] != '\n')) std::abort();
    if (written[i] == '\n' && (i == 0 || written[i - 1] != '\r')) std::abort();
  }
  return 0;
}
