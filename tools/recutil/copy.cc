// Moving an installation's record files between SQLite files and a
// PostgreSQL database: each file is created anew at the destination with
// the source's description and its records are inserted in physical order
// in one transaction, so the keys order them as at the source; the new
// file replaces the destination only once it is complete.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "btrieve/btrcall.h"
#include "commands.h"
#include "platform/paths.h"
#include "register_access.h"
#include "register_transfer.h"
#include "storage/record_backend.h"

namespace recutil {
namespace {

using namespace btrieve;
using namespace storage;
using namespace platform;

constexpr uint32_t kBufferSize = 65535;

int Fail(const std::string& what) {
  std::fprintf(stderr, "recutil: %s\n", what.c_str());
  return 1;
}

struct Opened {
  uint8_t block[kPositionBlockSize] = {};
  bool open = false;
  ~Opened() {
    if (!open) return;
    uint32_t none = 0;
    BTRCALL(kBtrClose, block, nullptr, &none, nullptr, 0, 0);
  }
  int16_t Call(uint16_t op, std::vector<char>* data, uint32_t* length, int8_t key = 0) {
    char keyBuffer[256] = {};
    return BTRCALL(op, block, data->data(), length, keyBuffer, 255, key);
  }
  int16_t Open(const std::string& name) {
    std::string owner("0000\0", 5);
    uint32_t length = 5;
    std::string key = name + '\0';
    const int16_t status = BTRCALL(kBtrOpen, block, owner.data(), &length, key.data(),
                                   static_cast<uint8_t>(std::min<size_t>(name.size(), 255)), 0);
    open = status == kStatusOk;
    return status;
  }
};

int16_t Transaction(uint16_t op) {
  uint32_t none = 0;
  return BTRCALL(op, nullptr, nullptr, &none, nullptr, 0, 0);
}

// The first key along which the two files give other records, or -1.
// Inserted in physical order, records with equal values of a key with
// duplicates come in insertion order, which an Update at the source can
// have changed.
int KeyOutOfOrder(Opened& source, Opened& target, int keys) {
  std::vector<char> a(kBufferSize), b(kBufferSize);
  for (int k = 0; k < keys; ++k) {
    const auto key = static_cast<int8_t>(k);
    for (uint16_t op = kBtrGetFirst;; op = kBtrGetNext) {
      uint32_t la = kBufferSize, lb = kBufferSize;
      const int16_t sa = source.Call(op, &a, &la, key);
      const int16_t sb = target.Call(op, &b, &lb, key);
      if (sa != sb || (sa == kStatusOk && (la != lb || std::memcmp(a.data(), b.data(), la) != 0)))
        return k;
      if (sa != kStatusOk) break;
    }
  }
  return -1;
}

// Fills the file named work, made anew for the description in stat, with
// the source's records in one transaction; *outOfOrder is set as
// KeyOutOfOrder says.  The file is closed on return.
int16_t Fill(Opened& source, const std::string& work, std::vector<char>& stat, uint32_t statLength,
             int* outOfOrder) {
  const int keys = static_cast<uint8_t>(stat[4]) | (static_cast<uint8_t>(stat[5]) << 8);
  uint8_t block[kPositionBlockSize] = {};
  std::string key = work + '\0';
  int16_t status = BTRCALL(kBtrCreate, block, stat.data(), &statLength, key.data(),
                           static_cast<uint8_t>(std::min<size_t>(work.size(), 255)), 0);
  Opened target;
  if (status == kStatusOk) status = target.Open(work);
  if (status == kStatusOk) status = Transaction(kBtrBeginTransaction);
  if (status != kStatusOk) return status;
  std::vector<char> data(kBufferSize);
  for (uint16_t op = kBtrStepFirst;; op = kBtrStepNext) {
    uint32_t length = kBufferSize;
    status = source.Call(op, &data, &length);
    if (status == kStatusEndOfFile) break;
    if (status == kStatusOk) status = target.Call(kBtrInsert, &data, &length, -1);
    if (status != kStatusOk) {
      Transaction(kBtrAbortTransaction);
      return status;
    }
  }
  status = Transaction(kBtrEndTransaction);
  if (status == kStatusOk) *outOfOrder = KeyOutOfOrder(source, target, keys);
  return status;
}

// Copies the file named name from the backend `from` to the backend `to`;
// *outOfOrder is set as KeyOutOfOrder says.  The copy is made complete
// under a work name beside the destination and only then put in its place,
// so a copy cut at any moment leaves the destination as it was.
int16_t CopyFile(const std::string& name, const RecordDatabase& from, const RecordDatabase& to,
                 int* outOfOrder) {
  SetRecordDatabase(from);
  Opened source;
  int16_t status = source.Open(name);
  std::vector<char> stat(kBufferSize);
  uint32_t length = kBufferSize;
  if (status == kStatusOk) status = source.Call(kBtrStat, &stat, &length);
  if (status != kStatusOk) return status;
  // The Stat answer is the Create description with counts in fields that
  // Create does not read.
  SetRecordDatabase(to);
  const std::string work = name + "-copy";  // one a cut copy left is made anew
  status = Fill(source, work, stat, length, outOfOrder);
  if (status == kStatusOk) status = ReplaceBackendFile(work, name);
  return status;
}

bool IsRecordFileName(const std::filesystem::path& p) {
  std::string ext = p.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return ext == ".dat";
}

// The record files under root, as paths below it ("DADES/X.dat").
std::vector<std::string> FilesUnder(const std::string& root) {
  std::vector<std::string> names;
  std::error_code ec;
  const std::filesystem::path base(NativePath(root));
  for (auto it = std::filesystem::recursive_directory_iterator(base, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file(ec) && IsRecordFileName(it->path())) {
      names.push_back(std::filesystem::relative(it->path(), base, ec).string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Copies the files named under root (as FilesUnder gives them) from one
// backend to the other, each told on standard output as it is done.
int CopyFiles(const std::vector<std::string>& names, const std::string& root,
              const RecordDatabase& from, const RecordDatabase& to) {
  std::string prefix = root;
  if (!prefix.empty() && prefix.back() != '/' && prefix.back() != '\\') prefix += '/';
  for (const std::string& name : names) {
    int outOfOrder = -1;
    const int16_t status = CopyFile(prefix + name, from, to, &outOfOrder);
    if (status != kStatusOk) {
      const std::string reason =
          status == kStatusManagerInactive ? ": " + RecordServerMessage() : "";
      return Fail("copy " + name + ": status " + std::to_string(status) + " (" +
                  StatusText(status) + ")" + reason);
    }
    std::printf("copied %s\n", name.c_str());
    if (outOfOrder >= 0) {
      std::fprintf(stderr,
                   "recutil: %s: records with equal values of key %d come in another order than "
                   "at the source (updates there changed it)\n",
                   name.c_str(), outOfOrder);
    }
  }
  return 0;
}

}  // namespace

int CopyInstallation(const std::string& root, const std::string& conninfo, bool back) {
  if (conninfo.empty()) return Fail("copy: no database (--db or KELDB)");
  std::error_code ec;
  if (!std::filesystem::is_directory(NativePath(root), ec)) {
    return Fail("copy: no folder " + root);
  }
  const RecordDatabase files{"", root};
  const RecordDatabase server{conninfo, root};
  std::vector<std::string> names;
  if (back) {
    const int16_t status = ListPgFiles(conninfo, &names);
    if (status != kStatusOk) {
      return Fail("copy: " + std::to_string(status) + " (" + StatusText(status) + ") " +
                  RecordServerMessage());
    }
    // Files named outside any installation root are not this installation's,
    // nor work files of a copy cut short.
    std::erase_if(names, [](const std::string& n) {
      return n.empty() || n[0] == '/' || !IsRecordFileName(n);
    });
    if (names.empty()) return Fail("copy --back: no record files (*.dat) in the database");
  } else {
    names = FilesUnder(root);
    if (names.empty()) return Fail("copy: no record files (*.dat) under " + root);
  }
  // The register is read, and the destination's found safe to replace,
  // before any file is copied: a refused register leaves everything as it was.
  const ledger::RegisterPlace onFiles = RegisterPlaceOf(root, ""),
                              onServer = RegisterPlaceOf(root, conninfo);
  RegisterCopy book;
  std::string problem;
  if (!PlanRegisterCopy(back ? onServer : onFiles, back ? onFiles : onServer, &book, &problem)) {
    return Fail("copy: " + problem);
  }
  const int copied =
      back ? CopyFiles(names, root, server, files) : CopyFiles(names, root, files, server);
  if (copied != 0 || !book.any) return copied;
  if (!CarryRegister(back ? onFiles : onServer, book, &problem)) {
    return Fail("copy the register: " + problem);
  }
  std::printf("copied the register (%ld receipts)\n", ReceiptRows(book.tables));
  return 0;
}

}  // namespace recutil
