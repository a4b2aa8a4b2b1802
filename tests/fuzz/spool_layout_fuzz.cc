// Any bytes as a spool file for KELPRINT: laying it out record by record
// must end without crashing, and the pages must stay within the bounds the
// layout keeps to (1000 columns, 10,000 lines), QR codes' places too,
// whatever columns, line advances and fill patterns the records ask for.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "spool_layout.h"

namespace {

void CheckPage(const std::optional<kelprint::Page>& page) {
  if (!page) return;
  if (page->lines.size() > 10001) std::abort();
  for (const std::string& line : page->lines) {
    if (line.size() > 1001) std::abort();
  }
  for (const kelprint::QrCode& code : page->codes) {
    if (code.line > 10000 || code.room.column > 1000 || code.room.freeColumns > 1000) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view spool(reinterpret_cast<const char*>(data), size);
  kelprint::PageBuilder builder;
  size_t pages = 0;
  while (!spool.empty()) {
    const size_t end = spool.find('\n');
    std::string_view line = spool.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    builder.Record(line);
    std::optional<kelprint::Page> finished = builder.TakeFinished();
    pages += finished.has_value();
    CheckPage(finished);
    spool = end == std::string_view::npos ? std::string_view() : spool.substr(end + 1);
  }
  CheckPage(builder.TakeOpen());
  if (pages > size) std::abort();  // every page needs a record
  return 0;
}
