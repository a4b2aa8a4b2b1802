// Any bytes as a language file: the field reader must return without
// crashing or reading out of bounds (quotes left open, Ctrl-Z, bare CR/LF).
#include <cstdint>
#include <string>

#include "config/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string contents(reinterpret_cast<const char*>(data), size);
  config::LanguageEntry entry;
  config::FindLanguageEntry(contents, "PRESENTADOR", &entry);
  config::FindLanguageEntry(contents, "", &entry);
  const size_t split = size == 0 ? 0 : data[0] % (size + 1);
  config::FindLanguageEntry(contents, contents.substr(0, split), &entry);
  return 0;
}
