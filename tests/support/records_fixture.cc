// The scratch installation of the record file tests.
#include "records_fixture.h"

#include <filesystem>
#include <stdexcept>

#include "btr_helpers.h"
#include "btrieve/record_manager.h"
#include "platform/program_end.h"
#include "platform/waits.h"
#include "records/record_table.h"
#include "storage/record_spec.h"

namespace records_test {

std::string TypesCreateBuffer(std::uint16_t recordLength) {
  std::string upper(256, '\0');
  for (int b = 0; b < 256; ++b) upper[b] = static_cast<char>(b >= 'a' && b <= 'z' ? b - 32 : b);
  using btr_test::Segment;
  return btr_test::CreateBuffer(recordLength,
                                {{{1, 1}},
                                 {{25, 2, storage::kKeyBinary | storage::kKeyDuplicates},
                                  {27, 2, storage::kKeyAlternate | storage::kKeyDuplicates}},
                                 {{25, 2, storage::kKeyBinary | storage::kKeyDuplicates},
                                  {27, 2, storage::kKeyDuplicates}}},
                                {btr_test::Acs("UPPER", upper)});
}

std::string TypeRecord(unsigned char code, const std::string& name, std::uint16_t number) {
  std::string record(1, static_cast<char>(code));
  record += name;
  record.resize(24, ' ');
  record += btr_test::Le16(number);
  record += "ab";
  return record;
}

void RecordsTest::SetUp() {
  config::Settings().RootDir = session.dir().path() + "/";
  std::filesystem::create_directories(session.dir().Sub("DADES"));
  std::filesystem::create_directories(session.dir().Sub("ddf"));
  platform::SetSleepStandIn([this](int ms) { Waited(ms); });
  platform::SetRandomStandIn([] { return 0.5; });
  platform::SetEndProgramStandIn([this](int code) { endings.push_back(code); });
}

void RecordsTest::Waited(int ms) {
  sleeps.push_back(ms);
  if (sleeps.size() <= kMaxWaits) return;
  std::string modes;
  for (const records::RecordSlot& slot : records::RecordFiles().slots) {
    if (slot.fileId == 0) continue;
    modes +=
        "; file " + std::to_string(slot.fileId) + " in lock mode " + std::to_string(slot.lockMode);
  }
  // Only an exception leaves the retry loop whatever its fault.
  throw std::runtime_error("still waiting for a lock after " + std::to_string(sleeps.size()) +
                           " tries" + (modes.empty() ? "; no file open yet" : modes));
}

std::string RecordsTest::Root(const std::string& name) const {
  return config::Settings().RootDir + "DADES\\" + name;
}

void RecordsTest::WriteDictionary(const std::string& base, const std::string& description) const {
  session.dir().Write("ddf/" + base + ".xdf",
                      btr_test::Le16(static_cast<std::uint16_t>(description.size())) + description);
}

void RecordsTest::MakeTypesFile(const std::string& base,
                                const std::vector<std::string>& recordsToInsert,
                                std::uint16_t recordLength) {
  const std::string path = session.dir().Sub("DADES/" + base + ".dat");
  ASSERT_EQ(btr_test::Create(path, TypesCreateBuffer(recordLength)), 0);
  btr_test::File file;
  ASSERT_EQ(file.Open(path), 0);
  for (const std::string& record : recordsToInsert) ASSERT_EQ(file.Insert(record), 0);
  ASSERT_EQ(file.Close(), 0);
  btrieve::ResetRecordManager();
}

}  // namespace records_test
