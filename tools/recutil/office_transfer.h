// Moving a whole office's record files through the sequential format: in
// from the files the old record manager's save utility wrote, and back out.
#pragma once

#include <string>
#include <vector>

namespace recutil {

// One line of the closing table.  records is -1 when none were loaded or
// written; problem marks a file that was refused.
struct TransferRow {
  std::string name;
  long records = -1;
  std::string result;
  bool problem = false;
};

// For every ddf/NAME.xdf under root with a NAME.seq in folder (names match
// in any case), DADES/NAME.dat is built from the description and loaded in
// one piece: it is put in place only when every record went in.  A record
// file of ours already there is left alone unless replace is set; any
// other file in the way is renamed aside, never deleted.  A REGISTRE.txt in
// folder is loaded into the register (register_transfer.h): its row counts
// receipts.
std::vector<TransferRow> ImportOffice(const std::string& root, const std::string& folder,
                                      bool replace);

// Every DADES/NAME.dat of ours under root to folder/NAME.seq, records in the
// order they were inserted; and the register, when root has one, to
// folder/REGISTRE.txt.
std::vector<TransferRow> ExportOffice(const std::string& root, const std::string& folder);

// The table: file, records, result, one line a file.
std::string TransferTable(const std::vector<TransferRow>& rows);

}  // namespace recutil
