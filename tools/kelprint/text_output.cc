// Plain text output of a laid-out spool.
#include <cstdio>

#include "format/text.h"
#include "outputs.h"
#include "platform/cp850.h"

namespace kelprint {

bool WriteText(const Document& doc, const std::string& path, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    *error = "cannot create " + path;
    return false;
  }
  std::string out;
  for (size_t p = 0; p < doc.pages.size(); ++p) {
    if (p > 0) out += "\f\n";
    for (const std::string& line : doc.pages[p].lines) {
      out += platform::Cp850ToUtf8(format::TrimRight(line));
      out += '\n';
    }
  }
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) *error = "cannot write " + path;
  return ok;
}

}  // namespace kelprint
