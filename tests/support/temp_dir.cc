// Scratch directories for tests.
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace testing_support {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "qantires-test-XXXXXX").string();
  char* made = ::mkdtemp(tmpl.data());
  if (made == nullptr) ADD_FAILURE() << "cannot create a temporary directory";
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Sub(std::string_view relative) const {
  return path_ + "/" + std::string(relative);
}

void TempDir::Write(std::string_view relative, std::string_view bytes) const {
  std::filesystem::path p = Sub(relative);
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir::Read(std::string_view relative) const {
  std::ifstream in(Sub(relative), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace testing_support
