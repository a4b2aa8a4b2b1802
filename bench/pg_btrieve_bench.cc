// The record manager on a PostgreSQL server against bare libpq on the same
// table: bulk load, Get Next over every record against a cursor fetching
// the same rows in key order, and random Get Equal (the median of single
// calls).  QANTIRES_BENCH_KELDB names the database (a libpq connection string,
// required); QANTIRES_BENCH_RECORDS sets the size (default 1000000).
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "btrieve/btrcall.h"
#include "btrieve/record_manager.h"
#include "btrieve_bench_file.h"
#include "storage/record_backend.h"

namespace {

using namespace btrieve;
using namespace storage;

constexpr const char* kName = "/qt_bench/pg_bench.dat";

uint32_t Records() {
  const char* n = std::getenv("QANTIRES_BENCH_RECORDS");
  return n != nullptr && std::atol(n) > 0 ? static_cast<uint32_t>(std::atol(n)) : 1000000;
}

std::string Database() {
  const char* db = std::getenv("QANTIRES_BENCH_KELDB");
  return db == nullptr ? "" : db;
}

using bench_file::Call;
using bench_file::kRecordLength;
using bench_file::Record;
using bench_file::Spec;

bool UseServer(benchmark::State& state) {
  if (Database().empty()) {
    state.SkipWithError("QANTIRES_BENCH_KELDB is not set");
    return false;
  }
  SetRecordDatabase({Database(), ""});
  return true;
}

void BM_PgBulkLoad(benchmark::State& state) {
  if (!UseServer(state)) return;
  const uint32_t n = Records();
  for (auto _ : state) {
    ResetRecordManager();
    uint8_t block[kPositionBlockSize] = {};
    std::string spec = Spec();
    std::string name = kName;
    Call(kBtrCreate, block, spec.data(), static_cast<uint32_t>(spec.size()), name.data(), 0);
    Call(kBtrOpen, block, nullptr, 0, name.data(), 0);
    Call(kBtrBeginTransaction, nullptr, nullptr, 0, nullptr, 0);
    char key[256];
    for (uint32_t id = 1; id <= n; ++id) {
      std::string r = Record(id);
      if (Call(kBtrInsert, block, r.data(), kRecordLength, key, -1) != 0) {
        state.SkipWithError("insert failed");
        break;
      }
    }
    Call(kBtrEndTransaction, nullptr, nullptr, 0, nullptr, 0);
    Call(kBtrClose, block, nullptr, 0, nullptr, 0);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}
BENCHMARK(BM_PgBulkLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PgGetNextWholeFile(benchmark::State& state) {
  if (!UseServer(state)) return;
  uint8_t block[kPositionBlockSize] = {};
  std::string name = kName;
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
BENCHMARK(BM_PgGetNextWholeFile)->Iterations(1)->Unit(benchmark::kMillisecond);

// A bare libpq cursor over the same table in key 0's order, fetching as
// many rows a round trip as Get Next's largest batch, in binary.
void BM_PgBareCursorKeyOrder(benchmark::State& state) {
  if (!UseServer(state)) return;
  PGconn* c = PQconnectdb(Database().c_str());
  PGresult* id = PQexec(c, "SELECT id FROM qt_files WHERE name = '/qt_bench/pg_bench.dat'");
  const std::string table =
      PQntuples(id) == 1 ? std::string("qt_r") + PQgetvalue(id, 0, 0) : "missing";
  PQclear(id);
  char data[1536];
  int64_t count = 0;
  for (auto _ : state) {
    PQclear(PQexec(c, ("BEGIN; DECLARE c BINARY CURSOR FOR SELECT pos, data FROM " + table +
                       " ORDER BY k0, s0")
                          .c_str()));
    for (;;) {
      PGresult* r = PQexec(c, "FETCH 1024 FROM c");
      const int rows = PQntuples(r);
      for (int i = 0; i < rows; ++i) {
        std::memcpy(data, PQgetvalue(r, i, 1), static_cast<size_t>(PQgetlength(r, i, 1)));
        benchmark::DoNotOptimize(data);
      }
      count += rows;
      PQclear(r);
      if (rows == 0) break;
    }
    PQclear(PQexec(c, "CLOSE c; COMMIT"));
  }
  PQfinish(c);
  state.SetItemsProcessed(count);
}
BENCHMARK(BM_PgBareCursorKeyOrder)->Iterations(1)->Unit(benchmark::kMillisecond);

// Single Get Equal calls at random keys; the median of their times is the
// counter median_us (the mean is skewed by the odd slow round trip).
void BM_PgRandomGetEqual(benchmark::State& state) {
  if (!UseServer(state)) return;
  uint8_t block[kPositionBlockSize] = {};
  std::string name = kName;
  Call(kBtrOpen, block, nullptr, 0, name.data(), 0);
  std::mt19937 rng(1);
  std::uniform_int_distribution<uint32_t> pick(1, Records());
  char data[1536];
  char key[256];
  std::vector<double> times;
  for (auto _ : state) {
    uint32_t id = pick(rng);
    std::memcpy(key, &id, 4);
    const auto start = std::chrono::steady_clock::now();
    const int16_t status = Call(kBtrGetEqual, block, data, sizeof data, key, 0, 4);
    times.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
    if (status != 0) {
      state.SkipWithError("record missing");
      break;
    }
  }
  Call(kBtrClose, block, nullptr, 0, nullptr, 0);
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  state.counters["median_us"] = times.empty() ? 0 : times[times.size() / 2];
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PgRandomGetEqual)->Iterations(20000);

}  // namespace
