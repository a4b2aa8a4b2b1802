// A scratch directory for one test, removed with everything in it when the
// test ends.  Tests build installations and record files inside it.
#pragma once

#include <string>
#include <string_view>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory, without a trailing slash.
  const std::string& path() const { return path_; }
  // path() + "/" + relative.
  std::string Sub(std::string_view relative) const;
  // Writes a file (creating its directories) with exactly these bytes.
  void Write(std::string_view relative, std::string_view bytes) const;
  std::string Read(std::string_view relative) const;

 private:
  std::string path_;
};

}  // namespace testing_support
