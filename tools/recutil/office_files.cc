// Listing an office folder's files without caring about case.
#include "office_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace recutil {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::map<std::string, std::string> FilesByBase(const std::string& directory,
                                               const std::string& ext) {
  std::map<std::string, std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
    const std::filesystem::path& path = entry.path();
    if (!entry.is_regular_file(error) || Lower(path.extension().string()) != Lower(ext)) continue;
    files.emplace(Lower(path.stem().string()), path.string());
  }
  return files;
}

std::string SubDirectory(const std::string& root, const std::string& name) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
    if (entry.is_directory(error) && Lower(entry.path().filename().string()) == Lower(name)) {
      return entry.path().string();
    }
  }
  return (std::filesystem::path(root) / name).string();
}

}  // namespace recutil
