// The classic sequential record format: for each record its length in
// ASCII digits, a comma, the record bytes and CR LF.  A Ctrl-Z (0x1A) may
// end the file; a bare LF is accepted in place of CR LF.
#pragma once

#include <cstdio>
#include <string>

namespace recutil {

class SequentialReader {
 public:
  explicit SequentialReader(std::FILE* in) : in_(in) {}
  // 1 with the next record, 0 at the end, -1 on malformed input (error()
  // then names the record and the fault).
  int Next(std::string* record);
  const std::string& error() const { return error_; }

 private:
  int Fail(const std::string& what);
  std::FILE* in_;
  long count_ = 0;
  std::string error_;
};

// One record in the sequential format.
std::string SequentialRecord(const std::string& record);

}  // namespace recutil
