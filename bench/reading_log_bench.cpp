#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>

#include "log/reading_log.h"

namespace tarvo {
namespace {

CurrentReading typical_reading() {
  CurrentReading r;
  r.Main_No = "-12.345";
  r.Sub_No = "60.00";
  r.Main_Range = "OHM AUTO 50.000 K\xCE\xA9";
  r.Sub_range = "FRE 99.99 Hz";
  return r;
}

// Fills a fresh log to the given length, the growth of the storage included;
// the per-append figure is the "append" rate inverted.
void BM_FillLog(benchmark::State& state) {
  const CurrentReading reading = typical_reading();
  const LocalTime time{2026, 12, 9, 9, 5, 3, 0};
  const auto records = state.range(0);
  for (auto _ : state) {
    ReadingLog log;
    for (std::int64_t n = 0; n < records; ++n) log.append_reading(reading, time);
    benchmark::DoNotOptimize(log[log.count()]);
  }
  state.SetItemsProcessed(state.iterations() * records);
  state.counters["append"] =
      benchmark::Counter(static_cast<double>(state.iterations() * records),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FillLog)->Arg(11002)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// A log of a million loaded readings, appended to until the storage has grown
// and has room for about a million more.
void load_long_log(ReadingLog& log, const CurrentReading& reading, const LocalTime& time) {
  log.replace(std::vector<real_Record>(1000000));
  while (log.count() + 1 < static_cast<std::int64_t>(log.storage_size())) {
    log.append_reading(reading, time);
  }
  log.append_reading(reading, time);
}

// One append to a log that already holds a million readings: the cost of a
// reading during a long acquisition, without the growth of the storage.
void BM_AppendToLongLog(benchmark::State& state) {
  const CurrentReading reading = typical_reading();
  const LocalTime time{2026, 12, 9, 9, 5, 3, 0};
  ReadingLog log;
  load_long_log(log, reading, time);
  for (auto _ : state) {
    if (log.count() + 1 >= static_cast<std::int64_t>(log.storage_size())) {
      state.PauseTiming();
      load_long_log(log, reading, time);
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(log.append_reading(reading, time));
  }
}
BENCHMARK(BM_AppendToLongLog);

double resident_bytes() {
  std::ifstream statm("/proc/self/statm");
  double pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Fills a log to ten million readings, a quarter of a year at one a second,
// timing every append: the worst one is what the window's thread would wait.
// The resident size's rise over the readings is what a reading costs in memory.
void BM_WorstAppend(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const CurrentReading reading = typical_reading();
  const LocalTime time{2026, 12, 9, 9, 5, 3, 0};
  const auto records = state.range(0);
  double worst_ms = 0, per_reading = 0;
  for (auto _ : state) {
    const double before = resident_bytes();
    ReadingLog log;
    for (std::int64_t n = 0; n < records; ++n) {
      const auto start = Clock::now();
      log.append_reading(reading, time);
      const std::chrono::duration<double, std::milli> took = Clock::now() - start;
      worst_ms = std::max(worst_ms, took.count());
    }
    per_reading = (resident_bytes() - before) / static_cast<double>(records);
    benchmark::DoNotOptimize(log[log.count()]);
  }
  state.counters["worst_append_ms"] = worst_ms;
  state.counters["bytes_per_reading"] = per_reading;
}
BENCHMARK(BM_WorstAppend)->Arg(10000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo
