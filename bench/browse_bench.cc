// Browse lists over a large unit file: opening a list on one property and
// showing its first page, and paging through the whole property.  The
// first page reads only the records it shows, whatever the file's size.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "btrieve/btrcall.h"
#include "btrieve/record_manager.h"
#include "config/session_settings.h"
#include "format/packed.h"
#include "office/record_layouts.h"
#include "office/screen_form.h"
#include "records/open_file.h"
#include "screens/browse_list.h"
#include "terminal/headless_backend.h"

namespace {

constexpr int kProperties = 50;
constexpr int kUnitsPerProperty = 1000;

std::string Le16(unsigned v) {
  return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)};
}

std::string Digits(int n) {
  std::string text = std::to_string(n);
  return std::string(4 - text.size(), '0') + text;
}

// Screen 1 with the five fields the unit lists read, and lists 1 to 3.
constexpr char kForm[] =
    "1,5\r\n\"\",5,0\r\n0,0,0,0\r\n"
    "1,1,\"a\",8,0,0,0,0,0,\"\"\r\n1,10,\"b\",3,0,0,0,0,1,\"\"\r\n"
    "1,20,\"c\",3,0,0,0,0,2,\"\"\r\n1,30,\"d\",3,0,0,0,0,1,\"\"\r\n"
    "1,40,\"e\",3,0,0,0,0,3,\"\"\r\n"
    "3\r\n506,0,4,12,20,60,0,\"_Finca_\",0\r\n"
    "507,0,4,4,20,76,0,\"_Dept._\",0\r\n507,0,4,4,20,76,0,\"_Dept._\",0\r\n";

// A unit file of kProperties * kUnitsPerProperty records, opened as 507.
struct Installation {
  std::string dir;
  Installation() {
    char name[] = "/tmp/qt_browse_bench_XXXXXX";
    dir = ::mkdtemp(name) != nullptr ? name : "/tmp";
    config::Settings().SessionDir = dir + "/";
    terminal::UseHeadlessConsole();
    office::ReadScreenFormText(kForm);
    const std::string path = dir + "/units.dat";
    std::string spec = Le16(office::kUnitLength) + Le16(4096) + Le16(1) + std::string(10, '\0') +
                       Le16(1) + Le16(4) + Le16(0) + std::string(10, '\0');
    std::uint8_t block[btrieve::kPositionBlockSize] = {};
    std::uint32_t length = static_cast<std::uint32_t>(spec.size());
    std::string key = path;
    BTRCALL(btrieve::kBtrCreate, block, spec.data(), &length, key.data(), 255, 0);
    BTRCALL(btrieve::kBtrOpen, block, nullptr, &length, key.data(), 255, 0);
    std::uint32_t none = 0;
    BTRCALL(btrieve::kBtrBeginTransaction, nullptr, nullptr, &none, nullptr, 0, 0);
    for (int p = 1; p <= kProperties; ++p) {
      for (int u = 1; u <= kUnitsPerProperty; ++u) Insert(block, p, u);
    }
    BTRCALL(btrieve::kBtrEndTransaction, nullptr, nullptr, &none, nullptr, 0, 0);
    BTRCALL(btrieve::kBtrClose, block, nullptr, &none, nullptr, 0, 0);
    std::int16_t status = 0;
    records::OpenRecordFile(507, path, office::Areas().unit, status);
  }
  ~Installation() {
    std::error_code ignored;
    if (dir != "/tmp") std::filesystem::remove_all(dir, ignored);
  }
  static void Insert(std::uint8_t* block, int property, int unit) {
    std::string record(office::kUnitLength, ' ');
    record.replace(0, 4, format::PackDigits(Digits(property) + Digits(unit)));
    record.replace(8, 12, "Tenant " + Digits(unit));
    std::uint32_t length = office::kUnitLength;
    char keyBuffer[256] = {};
    BTRCALL(btrieve::kBtrInsert, block, record.data(), &length, keyBuffer, 255, 0);
  }
};

Installation& Files() {
  static Installation installation;
  return installation;
}

// Opens the list on property 25, pages down, and takes the first line
// shown; the record taken must be unit `expected` of that property.
void RunList(benchmark::State& state, int pageDowns, int expected) {
  Files();
  office::FieldAt(1, 2)->value = " 25";
  auto& console = terminal::UseHeadlessConsole();
  const std::string wanted = format::PackDigits("0025" + Digits(expected));
  for (auto _ : state) {
    for (int k = 0; k < pageDowns; ++k) console.PushKey(0, 0x51);
    console.PushText("\r");
    int result = -1;
    screens::BrowseList(2, result);
    if (result != 0 || office::UnitView(office::Areas().unit).Key() != wanted) {
      state.SkipWithError("the list did not take the expected unit");
      break;
    }
  }
}

// Opening the list on one property of 50,000 units: its first page only.
void BM_BrowseFirstPage(benchmark::State& state) {
  RunList(state, 0, 1);
}
BENCHMARK(BM_BrowseFirstPage)->Unit(benchmark::kMillisecond);

// Paging to the end of that property's 1,000 units (15 lines a page).
void BM_BrowseWholeProperty(benchmark::State& state) {
  RunList(state, 70, 991);
}
BENCHMARK(BM_BrowseWholeProperty)->Unit(benchmark::kMillisecond);

}  // namespace
