// recutil import: an office's record files built from the sequential files
// its old record manager's save utility wrote.  Each file is built and
// loaded under a work name and put in place only when complete, so a
// refused file leaves nothing behind and never touches what was there.
#include <cstdio>
#include <filesystem>
#include <vector>

#include "btrieve/btrcall.h"
#include "commands.h"
#include "office_files.h"
#include "office_transfer.h"
#include "platform/new_file.h"
#include "platform/paths.h"
#include "record_handle.h"
#include "register_transfer.h"
#include "sequential.h"
#include "storage/record_spec.h"

namespace recutil {
namespace {

using namespace btrieve;
using namespace storage;
using namespace platform;
namespace fs = std::filesystem;

// One file to import: its description, its records, where it goes and what
// is there already (empty when nothing).
struct Target {
  std::string name, dictionary, sequential, file, existing;
};

std::string Status(int16_t status) {
  return "status " + std::to_string(status) + " (" + StatusText(status) + ")";
}

// A description file: 2-byte little-endian count, then the Create buffer.
bool ReadDescription(const std::string& path, std::string* buffer, FileSpec* spec,
                     std::string* problem) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes) || bytes.size() < 2) {
    *problem = "cannot read " + fs::path(path).filename().string();
    return false;
  }
  const size_t n = static_cast<uint8_t>(bytes[0]) | (static_cast<uint8_t>(bytes[1]) << 8);
  *buffer = bytes.substr(2, n);
  int16_t status =
      bytes.size() < 2 + n
          ? kStatusDataBufferTooShort
          : ParseFileSpec(reinterpret_cast<const uint8_t*>(buffer->data()), buffer->size(), spec);
  if (status != kStatusOk) *problem = "the description is refused: " + Status(status);
  return status == kStatusOk;
}

// The work file and the side files the record manager keeps beside it.
void RemoveWorkFiles(const std::string& work) {
  for (const char* suffix : {"", "-new", "-lock", "-wal", "-shm"}) {
    std::remove((work + suffix).c_str());
  }
}

std::string LengthProblem(const FileSpec& spec, long number, size_t size) {
  const bool variable = spec.fileFlags & 0x0001;
  if (variable ? size >= spec.recordLength : size == spec.recordLength) return "";
  return "record " + std::to_string(number) + " is " + std::to_string(size) +
         " bytes, the description says " + (variable ? "at least " : "") +
         std::to_string(spec.recordLength);
}

bool CreateWork(const std::string& work, std::string buffer, std::string* problem) {
  uint8_t block[kPositionBlockSize] = {};
  uint32_t length = static_cast<uint32_t>(buffer.size());
  std::string key = work + '\0';
  int16_t status = BTRCALL(kBtrCreate, block, buffer.data(), &length, key.data(),
                           static_cast<uint8_t>(work.size()), 0);
  if (status != kStatusOk) *problem = "the description is refused: " + Status(status);
  return status == kStatusOk;
}

// Creates work from the description and inserts every record in one
// transaction.  False with the problem when anything is refused.
bool BuildAndLoad(const std::string& work, const std::string& buffer, const FileSpec& spec,
                  const std::string& sequential, long* count, std::string* problem) {
  if (!CreateWork(work, buffer, problem)) return false;
  std::FILE* in = OpenFile(sequential, "rb");
  if (in == nullptr) {
    *problem = "cannot read " + fs::path(sequential).filename().string();
    return false;
  }
  Handle h;
  int16_t status = h.Open(work, kOpenExclusive);
  if (status == kStatusOk) status = h.Call(kBtrBeginTransaction);
  if (status != kStatusOk) *problem = "cannot open the new file: " + Status(status);
  SequentialReader reader(in);
  std::string record;
  while (problem->empty()) {
    int got = reader.Next(&record);
    if (got <= 0) {
      if (got < 0) *problem = reader.error();
      break;
    }
    *problem = LengthProblem(spec, *count + 1, record.size());
    if (!problem->empty()) break;
    uint32_t length = static_cast<uint32_t>(record.size());
    status = h.Call(kBtrInsert, record.data(), &length, -1);
    if (status != kStatusOk) {
      *problem = "record " + std::to_string(*count + 1) + ": " + Status(status);
    } else {
      ++*count;
    }
  }
  std::fclose(in);
  if (problem->empty() && (status = h.Call(kBtrEndTransaction)) != kStatusOk) {
    *problem = "commit: " + Status(status);
  }
  if (!problem->empty()) h.Call(kBtrAbortTransaction);
  return problem->empty();
}

// What is in the way of the new file.  An empty file of ours is what the
// program creates when it is started before the import: nothing to keep.
enum class InTheWay { kNothing, kForeign, kEmpty, kRecords };

InTheWay Examine(const std::string& existing) {
  if (existing.empty()) return InTheWay::kNothing;
  Handle h;
  int16_t status = h.Open(existing, kOpenReadOnly);
  if (status == kStatusNotARecordFile) return InTheWay::kForeign;
  std::vector<char> data(kBufferSize);
  uint32_t length = kBufferSize;
  return status == kStatusOk && h.Call(kBtrStepFirst, data.data(), &length) == kStatusEndOfFile
             ? InTheWay::kEmpty
             : InTheWay::kRecords;
}

// Clears the way: a file with records, or another record manager's file,
// is renamed to NAME.dat.old (or .old2, ...); an empty file of ours goes.
// A file of ours is first opened exclusively, so one in use is never moved.
bool MakeRoom(const std::string& existing, InTheWay way, std::string* aside, std::string* problem) {
  if (way == InTheWay::kNothing) return true;
  if (way != InTheWay::kForeign) {
    Handle h;
    if (h.Open(existing, kOpenExclusive) == kStatusFileLocked) {
      *problem = "the record file there is in use; not replaced";
      return false;
    }
  }
  if (way == InTheWay::kEmpty) {
    if (std::remove(existing.c_str()) == 0) return true;
    *problem = "cannot remove the empty " + existing;
    return false;
  }
  *aside = existing + ".old";
  for (int n = 2; fs::exists(*aside); ++n) *aside = existing + ".old" + std::to_string(n);
  std::error_code error;
  fs::rename(existing, *aside, error);
  if (error) *problem = "cannot rename " + existing + ": " + error.message();
  return !error;
}

TransferRow ImportOne(const Target& t, bool replace) {
  TransferRow row{t.name, -1, "", true};
  const InTheWay way = Examine(t.existing);
  if (way == InTheWay::kRecords && !replace) {
    row.result = "a record file of ours is there; left alone (--replace loads it again)";
    row.problem = false;
    return row;
  }
  std::string buffer, problem, aside;
  FileSpec spec;
  long count = 0;
  const std::string work = t.file + "-import";
  RemoveWorkFiles(work);
  bool ok = ReadDescription(t.dictionary, &buffer, &spec, &problem) &&
            BuildAndLoad(work, buffer, spec, t.sequential, &count, &problem);
  // The new file keeps the mode, owner and group the office gave the one
  // it replaces (a record file shared with the office's group stays so).
  if (ok && !t.existing.empty()) platform::TakeOverFrom(t.existing, work);
  ok = ok && MakeRoom(t.existing, way, &aside, &problem);
  std::error_code error;
  if (ok) fs::rename(work, t.file, error);
  RemoveWorkFiles(work);
  if (!ok || error) {
    row.result = "not loaded: " + (error ? error.message() : problem);
    return row;
  }
  row.records = count;
  row.result = way == InTheWay::kEmpty ? "loaded; it replaces an empty file" : "loaded";
  if (!aside.empty()) row.result += "; the old file is now " + fs::path(aside).filename().string();
  row.problem = false;
  return row;
}

}  // namespace

std::vector<TransferRow> ImportOffice(const std::string& root, const std::string& folder,
                                      bool replace) {
  const auto descriptions = FilesByBase(SubDirectory(root, "ddf"), ".xdf");
  const auto sequentials = FilesByBase(folder, ".seq");
  const std::string data = SubDirectory(root, "DADES");
  const auto existing = FilesByBase(data, ".dat");
  platform::MakeFolders(data);
  std::vector<TransferRow> rows;
  for (const auto& [base, dictionary] : descriptions) {
    const std::string name = fs::path(dictionary).stem().string();
    auto seq = sequentials.find(base);
    if (seq == sequentials.end()) {
      rows.push_back({name, -1, "no " + name + ".seq in the folder; not touched", false});
      continue;
    }
    auto old = existing.find(base);
    Target t{name, dictionary, seq->second, (fs::path(data) / (name + ".dat")).string(),
             old == existing.end() ? "" : old->second};
    rows.push_back(ImportOne(t, replace));
  }
  for (const auto& [base, sequential] : sequentials) {
    if (descriptions.count(base) != 0) continue;
    const std::string name = fs::path(sequential).stem().string();
    rows.push_back({name, -1, "not loaded: no description ddf/" + name + ".xdf", true});
  }
  if (std::optional<TransferRow> row = ImportRegister(root, folder, replace)) rows.push_back(*row);
  return rows;
}

}  // namespace recutil
