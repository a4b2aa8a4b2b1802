// Any bytes as an INI file: IniRead must return without crashing or reading
// out of bounds, whatever the line ends, brackets, quotes and Ctrl-Z.
#include <cstdint>
#include <cstdio>
#include <string>

#include "config/ini.h"
#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz_scratch::FolderPath("ini") + "fuzz.ini";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  config::IniRead(path, "Usuari", "Idioma");
  config::IniRead(path, " a ", "");
  return 0;
}
