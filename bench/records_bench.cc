// Record reads through the record file layer: what each step of the
// issuing run's walk over owners, properties and units costs, on a file of
// 10,000 unit-sized records.
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <string>

#include "btrieve/btrcall.h"
#include "btrieve/record_manager.h"
#include "records/open_file.h"
#include "records/record_reads.h"
#include "records/record_table.h"

namespace {

constexpr int kRecords = 10000;
constexpr std::size_t kLength = 448;
constexpr std::int16_t kId = 507;

std::string Le16(unsigned v) {
  return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)};
}

// A record's 4-byte key: two packed pairs of digits.
std::string KeyOf(int n) {
  return std::string{char(128 + n / 1000000 % 100), char(128 + n / 10000 % 100),
                     char(128 + n / 100 % 100), char(128 + n % 100)};
}

// DADES/BENCH.dat with one 4-byte key, filled; opened under kId.
struct UnitFile {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "qt_records_bench";
  std::array<unsigned char, kLength> area{};
  UnitFile() {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "BENCH.dat").string();
    std::string spec = Le16(kLength) + Le16(4096) + Le16(1) + std::string(10, '\0');
    spec += Le16(1) + Le16(4) + std::string(12, '\0');
    spec.resize(1536, ' ');
    std::uint8_t block[btrieve::kPositionBlockSize] = {};
    std::uint32_t length = 1536;
    std::string name = path + '\0';
    BTRCALL(btrieve::kBtrCreate, block, spec.data(), &length, name.data(),
            static_cast<std::uint8_t>(path.size()), 0);
    std::int16_t status = 0;
    records::OpenRecordFile(kId, path, area, status);
    std::uint8_t* own =
        records::RecordFiles().slots[records::FindSlot(kId).slot].positionBlock.data();
    BTRCALL(btrieve::kBtrBeginTransaction, own, nullptr, &length, nullptr, 0, 0);
    for (int n = 0; n < kRecords; ++n) {
      std::string record = KeyOf(n) + std::string(kLength - 4, 'x');
      std::uint32_t recordLength = kLength;
      std::string key(256, '\0');
      BTRCALL(btrieve::kBtrInsert, own, record.data(), &recordLength, key.data(), 255, 0);
    }
    BTRCALL(btrieve::kBtrEndTransaction, own, nullptr, &length, nullptr, 0, 0);
  }
  ~UnitFile() {
    std::int16_t status = 0;
    records::ResetRecordFiles(status);
    std::filesystem::remove_all(dir);
  }
};

void BM_SkipRecordsOneByOne(benchmark::State& state) {
  UnitFile file;
  std::int16_t status = 0;
  records::FindByKey(kId, 0, "", 1, status);
  if (status != 0) state.SkipWithError("the bench file could not be read");
  double laps = 0;
  for (auto _ : state) {
    records::SkipRecords(kId, 1, status);
    if (status != 0) {
      records::FindByKey(kId, 0, "", 1, status);
      ++laps;
    }
  }
  state.counters["laps"] = laps;  // walks over the whole file
}
BENCHMARK(BM_SkipRecordsOneByOne);

void BM_FindByKeyEqual(benchmark::State& state) {
  UnitFile file;
  std::int16_t status = 0;
  int n = 0;
  for (auto _ : state) {
    records::FindByKey(kId, 0, KeyOf(n), 0, status);
    n = (n + 7919) % kRecords;
  }
}
BENCHMARK(BM_FindByKeyEqual);

void BM_FindByKeyWithLockMode1(benchmark::State& state) {
  UnitFile file;
  std::int16_t status = 0;
  records::SetLockMode(kId, "A", status);
  int n = 0;
  for (auto _ : state) {
    records::FindByKey(kId, 0, KeyOf(n), 0, status);
    n = (n + 7919) % kRecords;
  }
}
BENCHMARK(BM_FindByKeyWithLockMode1);

}  // namespace
