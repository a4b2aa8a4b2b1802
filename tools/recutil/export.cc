// recutil export: every record file of an office in the sequential format,
// for the old record manager's load utility or for recutil import.
#include <cstdio>
#include <filesystem>
#include <vector>

#include "btrieve/btrcall.h"
#include "commands.h"
#include "office_files.h"
#include "office_transfer.h"
#include "platform/new_file.h"
#include "record_handle.h"
#include "register_transfer.h"
#include "sequential.h"

namespace recutil {
namespace {

using namespace btrieve;
using namespace storage;
namespace fs = std::filesystem;

// Writes the records in the order they were inserted, which keeps the
// order of duplicate key values when the file is loaded again; a Ctrl-Z
// ends the file as the old utilities expect.  Written under a work name
// and renamed, so a failed export leaves no partial file.
TransferRow ExportOne(const std::string& file, const std::string& folder) {
  TransferRow row{fs::path(file).stem().string(), -1, "", true};
  Handle h;
  int16_t status = h.Open(file, kOpenReadOnly);
  if (status != kStatusOk) {
    row.result = "not written: status " + std::to_string(status) + " (" + StatusText(status) + ")";
    return row;
  }
  const std::string target = (fs::path(folder) / (row.name + ".seq")).string();
  platform::NewFile out(target);
  if (!out.ok()) {
    row.result = "not written: cannot write " + target;
    return row;
  }
  std::vector<char> data(kBufferSize);
  long count = 0;
  for (uint16_t op = kBtrStepFirst;; op = kBtrStepNext, ++count) {
    uint32_t length = kBufferSize;
    status = h.Call(op, data.data(), &length);
    if (status != kStatusOk) break;
    const std::string line = SequentialRecord(std::string(data.data(), length));
    std::fwrite(line.data(), 1, line.size(), out.file());
  }
  std::fputc(0x1A, out.file());
  if (status != kStatusEndOfFile || !out.Commit()) {
    row.result = status != kStatusEndOfFile
                     ? "not written: record " + std::to_string(count + 1) + ": status " +
                           std::to_string(status) + " (" + StatusText(status) + ")"
                     : "not written: cannot write " + target;
    return row;
  }
  row.records = count;
  row.result = "written";
  row.problem = false;
  return row;
}

}  // namespace

std::vector<TransferRow> ExportOffice(const std::string& root, const std::string& folder) {
  platform::MakeFolders(folder);
  std::vector<TransferRow> rows;
  for (const auto& [base, file] : FilesByBase(SubDirectory(root, "DADES"), ".dat")) {
    rows.push_back(ExportOne(file, folder));
  }
  if (std::optional<TransferRow> row = ExportRegister(root, folder)) rows.push_back(*row);
  return rows;
}

}  // namespace recutil
