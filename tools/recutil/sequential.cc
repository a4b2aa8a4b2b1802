// Reading and writing the sequential record format.  Lengths are bounded so
// a damaged file cannot ask for an unbounded buffer.
#include "sequential.h"

namespace recutil {
namespace {

constexpr long kMaxRecord = 65535;

}  // namespace

int SequentialReader::Fail(const std::string& what) {
  error_ = "record " + std::to_string(count_ + 1) + ": " + what;
  return -1;
}

int SequentialReader::Next(std::string* record) {
  int c = std::fgetc(in_);
  if (c == EOF || c == 0x1A) return 0;
  long length = 0;
  int digits = 0;
  for (; c >= '0' && c <= '9'; c = std::fgetc(in_)) {
    length = length * 10 + (c - '0');
    if (++digits > 5 || length > kMaxRecord) return Fail("length too large");
  }
  if (digits == 0 || c != ',') return Fail("expected the length in digits and a comma");
  record->resize(length);
  if (std::fread(record->data(), 1, length, in_) != static_cast<size_t>(length)) {
    return Fail("the file ends inside the record");
  }
  c = std::fgetc(in_);
  if (c == '\r') c = std::fgetc(in_);
  if (c != '\n') return Fail("expected CR LF after the record");
  ++count_;
  return 1;
}

std::string SequentialRecord(const std::string& record) {
  return std::to_string(record.size()) + "," + record + "\r\n";
}

}  // namespace recutil
