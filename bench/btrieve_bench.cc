// The record manager against bare SQLite on one large file: bulk load,
// Get Next over every record against a plain cursor over the same table,
// and random Get Equal.  QANTIRES_BENCH_RECORDS sets the size (default 1000000).
// Each benchmark loads the file first when no earlier one did, so any of
// them can run alone (--benchmark_filter).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "btrieve/btrcall.h"
#include "btrieve/record_manager.h"
#include "btrieve_bench_file.h"
#include "storage/sqlite_statement.h"

namespace {

using namespace btrieve;
using namespace storage;

uint32_t Records() {
  const char* n = std::getenv("QANTIRES_BENCH_RECORDS");
  return n != nullptr && std::atol(n) > 0 ? static_cast<uint32_t>(std::atol(n)) : 1000000;
}

// The scratch directory, removed when the program ends.
struct ScratchDir {
  std::string path;
  ScratchDir() {
    char dir[] = "/tmp/qt_btrieve_bench_XXXXXX";
    path = ::mkdtemp(dir) != nullptr ? dir : "/tmp";
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (path != "/tmp") std::filesystem::remove_all(path, ignored);
  }
};

const std::string& Path() {
  static const ScratchDir dir;
  static const std::string path = dir.path + "/bench.dat";
  return path;
}

using bench_file::Call;
using bench_file::kRecordLength;
using bench_file::Record;
using bench_file::Spec;

// Creates the file anew with records 1 to n; false when an insert failed.
bool LoadFile(uint32_t n) {
  ResetRecordManager();
  std::filesystem::remove(Path());
  uint8_t block[kPositionBlockSize] = {};
  std::string spec = Spec();
  std::string name = Path();
  Call(kBtrCreate, block, spec.data(), static_cast<uint32_t>(spec.size()), name.data(), 0);
  Call(kBtrOpen, block, nullptr, 0, name.data(), 0);
  Call(kBtrBeginTransaction, nullptr, nullptr, 0, nullptr, 0);
  char key[256];
  bool ok = true;
  for (uint32_t id = 1; ok && id <= n; ++id) {
    std::string r = Record(id);
    ok = Call(kBtrInsert, block, r.data(), kRecordLength, key, -1) == 0;
  }
  Call(kBtrEndTransaction, nullptr, nullptr, 0, nullptr, 0);
  Call(kBtrClose, block, nullptr, 0, nullptr, 0);
  return ok;
}

// Whether the file holds its records, loading it once when no benchmark
// before this one did (each benchmark can run alone).
bool loaded = false;
bool EnsureFile(benchmark::State& state) {
  if (!loaded) loaded = LoadFile(Records());
  if (!loaded) state.SkipWithError("the file could not be loaded");
  return loaded;
}

void BM_BulkLoad(benchmark::State& state) {
  const uint32_t n = Records();
  for (auto _ : state) {
    loaded = LoadFile(n);
    if (!loaded) state.SkipWithError("insert failed");
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}
BENCHMARK(BM_BulkLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_GetNextWholeFile(benchmark::State& state) {
  if (!EnsureFile(state)) return;
  uint8_t block[kPositionBlockSize] = {};
  std::string name = Path();
  Call(kBtrOpen, block, nullptr, 0, name.data(), 0);
  char data[1536];
  char key[256];
  int64_t count = 0;
  for (auto _ : state) {
    int16_t status = Call(kBtrGetFirst, block, data, sizeof data, key, 0);
    while (status == 0) {
      ++count;
      status = Call(kBtrGetNext, block, data, sizeof data, key, 0);
    }
  }
  Call(kBtrClose, block, nullptr, 0, nullptr, 0);
  state.SetItemsProcessed(count);
}
BENCHMARK(BM_GetNextWholeFile)->Iterations(1)->Unit(benchmark::kMillisecond);

// A bare cursor over the records table (physical order), and one over
// key 0's index joined to the records (key order, the work Get Next does).
void SqliteCursor(benchmark::State& state, const char* sql) {
  if (!EnsureFile(state)) return;
  sqlite3* db = nullptr;
  sqlite3_open_v2(Path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  int64_t count = 0;
  {
    storage::SqliteStatement st;
    st.Prepare(db, sql);
    char data[1536];
    for (auto _ : state) {
      while (sqlite3_step(st.get()) == SQLITE_ROW) {
        int bytes = sqlite3_column_bytes(st.get(), 1);
        std::memcpy(data, sqlite3_column_blob(st.get(), 1), static_cast<size_t>(bytes));
        benchmark::DoNotOptimize(data);
        ++count;
      }
      sqlite3_reset(st.get());
    }
  }  // finalised before the connection closes
  sqlite3_close(db);
  state.SetItemsProcessed(count);
}

void BM_SqliteCursorWholeTable(benchmark::State& state) {
  SqliteCursor(state, "SELECT pos, data FROM records ORDER BY pos");
}
BENCHMARK(BM_SqliteCursorWholeTable)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SqliteCursorKeyOrder(benchmark::State& state) {
  SqliteCursor(state,
               "SELECT i.pos, r.data FROM key0 AS i CROSS JOIN records AS r ON r.pos = i.pos "
               "ORDER BY i.k, i.seq");
}
BENCHMARK(BM_SqliteCursorKeyOrder)->Iterations(1)->Unit(benchmark::kMillisecond);

// Reported as the median of five runs.
void BM_RandomGetEqual(benchmark::State& state) {
  if (!EnsureFile(state)) return;
  uint8_t block[kPositionBlockSize] = {};
  std::string name = Path();
  Call(kBtrOpen, block, nullptr, 0, name.data(), 0);
  std::mt19937 rng(1);
  std::uniform_int_distribution<uint32_t> pick(1, Records());
  char data[1536];
  char key[256];
  for (auto _ : state) {
    uint32_t id = pick(rng);
    std::memcpy(key, &id, 4);
    if (Call(kBtrGetEqual, block, data, sizeof data, key, 0, 4) != 0) {
      state.SkipWithError("record missing");
      break;
    }
  }
  Call(kBtrClose, block, nullptr, 0, nullptr, 0);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomGetEqual)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
