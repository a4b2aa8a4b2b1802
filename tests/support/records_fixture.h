// A scratch installation for the record file tests: RootDir in a temporary
// directory with DADES\ and ddf\ folders, a headless console, the waits and
// the end of the program replaced by recorders, and an empty record file
// table and record manager (the session resets the program state before
// and after).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "headless_session.h"

namespace records_test {

// Concept-type records: 28 bytes, key 0 the code byte, key 1 a 2-byte
// binary number (bytes 24-25) then 2 bytes on the alternate collating
// sequence (26-27), key 2 the same binary number then 2 plain bytes.
inline constexpr int kRecordLength = 28;
std::string TypesCreateBuffer(std::uint16_t recordLength = kRecordLength);
// A record with this code, name, and number.
std::string TypeRecord(unsigned char code, const std::string& name, std::uint16_t number = 0);

class RecordsTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // RootDir + "DADES\" + name, as the program would name a file.
  std::string Root(const std::string& name) const;
  // Writes ddf\<base>.xdf holding this creation description.
  void WriteDictionary(const std::string& base, const std::string& description) const;
  // Creates DADES\<base>.dat with the concept-type layout and these records.
  void MakeTypesFile(const std::string& base, const std::vector<std::string>& recordsToInsert,
                     std::uint16_t recordLength = kRecordLength);

  // Records one wait in sleeps.  Every sleep stand-in of these tests goes
  // through here: a lock retry that does not end (a wrong test of the lock
  // mode or of the time allowed) is stopped after kMaxWaits waits by an
  // exception naming the tries and each open file's lock mode, so that the
  // test fails at once instead of spinning until the runner's timeout.
  void Waited(int ms);
  static constexpr std::size_t kMaxWaits = 50;

  testing_support::HeadlessSession session;
  std::vector<int> sleeps;   // every wait asked for, in milliseconds
  std::vector<int> endings;  // every exit code the program tried to end with
};

}  // namespace records_test
