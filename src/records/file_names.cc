// Completion of record file names and the names of data dictionary files.
#include "config/session_settings.h"
#include "records/open_file.h"

namespace records {

FileNameParts CompleteFileName(const std::string& name) {
  std::size_t separator = std::string::npos;
  std::size_t dot = std::string::npos;
  for (std::size_t i = name.size(); i-- > 0;) {
    const char c = name[i];
    if (c == ':' || c == '\\' || c == '/') {
      separator = i;
      break;
    }
    if (c == '.') dot = i;  // the dot nearest the start of the base part wins
  }
  const std::size_t baseStart = separator == std::string::npos ? 0 : separator + 1;
  const std::size_t baseEnd = dot == std::string::npos ? name.size() : dot;
  FileNameParts parts;
  parts.directory = name.substr(0, baseStart);
  parts.baseName = name.substr(baseStart, baseEnd - baseStart);
  parts.extension = dot == std::string::npos ? ".dat" : name.substr(dot);
  return parts;
}

std::string DictionaryFileName(const std::string& baseName) {
  return config::Settings().RootDir + "ddf\\" + baseName + ".xdf";
}

}  // namespace records
