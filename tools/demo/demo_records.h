// Records of a demo office: a handful of owners, properties and units written
// by hand to read like a real office (every periodicity and timing letter,
// forms A, B and F, mandates, both VAT classes, withholding, starred names
// with apostrophes, accented names), optionally followed by a generated
// bulk of further owners for benchmarks.
#pragma once

#include <string>
#include <vector>

namespace demo {

// Key 0 of a file: one string segment.
struct KeySpec {
  int position = 1;  // counted from 1
  int length = 0;
  bool duplicates = false;
};

struct RecordFile {
  std::string name;  // as under DADES\, without extension
  int recordLength = 0;
  KeySpec key;
  std::vector<std::string> records;  // code page 850 bytes, recordLength each
};

struct BulkSize {
  int owners = 0;               // generated owners after the hand-written ones
  int propertiesPerOwner = 3;   // at most 20
  int unitsPerProperty = 8;     // at most 999
  bool monthlyOnly = false;     // every generated unit due every month
};

// The six files: TVRebut, TRemeses, PropietV, FinquesV, DepartaV, CobramV.
std::vector<RecordFile> BuildDemoRecords(const BulkSize& bulk);

// Gives every owner a Spanish tax identifier whose check letter is right
// (DNI 40000001, 40000002 ... in record order): the demo's own are made up,
// and a VERI*FACTU billing record needs its issuer's to be valid.
void GiveOwnersValidTaxIds(std::vector<RecordFile>& files);

// The records in the sequential load format: per record its length in ASCII
// digits, a comma, the bytes, CR LF.
std::string SequentialText(const RecordFile& file);
// The key description recutil reads: record length, then key 0 as one
// string segment.
std::string KeyDescription(const RecordFile& file);

}  // namespace demo
