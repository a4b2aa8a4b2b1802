// The closing table of import and export.
#include "office_transfer.h"

#include <algorithm>
#include <cstdio>

namespace recutil {

std::string TransferTable(const std::vector<TransferRow>& rows) {
  size_t width = 4;
  for (const TransferRow& row : rows) width = std::max(width, row.name.size());
  auto line = [&](const std::string& name, const std::string& records, const std::string& result) {
    std::string text = name + std::string(width - name.size() + 2, ' ');
    text += std::string(records.size() < 7 ? 7 - records.size() : 0, ' ') + records;
    return text + "  " + result + "\n";
  };
  std::string table = line("file", "records", "result");
  for (const TransferRow& row : rows) {
    table += line(row.name, row.records < 0 ? "-" : std::to_string(row.records), row.result);
  }
  return table;
}

}  // namespace recutil
