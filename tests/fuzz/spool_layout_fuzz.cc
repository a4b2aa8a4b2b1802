// Any bytes as a spool file for KELPRINT: laying it out must end without
// crashing, and the pages must stay within the bounds the layout keeps to
// whatever columns, line advances and fill patterns the records ask for.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "spool_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view spool(reinterpret_cast<const char*>(data), size);
  const kelprint::Document doc = kelprint::LayOutSpool(spool);
  if (doc.pages.size() > size) std::abort();  // every page needs a record
  // The layout keeps texts within 1000 columns and 10,000 lines a page.
  if (kelprint::DocumentColumns(doc) > 1000) std::abort();
  for (const kelprint::Page& page : doc.pages) {
    if (page.lines.size() > 10001) std::abort();
  }
  return 0;
}
