#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "display/min_max_pyramid.h"
#include "files/log_file.h"
#include "files/session_file.h"
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

// A session of a million readings of one unit, a reading a second.
std::filesystem::path write_long_session(std::int64_t count) {
  const auto file = std::filesystem::temp_directory_path() /
                    ("tarvo-bench-" + std::to_string(::getpid()) + std::string(kSessionExtension));
  std::ofstream out(file, std::ios::binary);
  out << session_header_text({LocalTime{2026, 12, 9, 0, 0, 0, 0, 60}, "bench", 1, "."});
  const CurrentReading reading = typical_reading();
  ReadingLog log;
  for (std::int64_t n = 1; n <= count; ++n) {
    const int s = static_cast<int>(n % 86400);
    log.append_reading(reading, LocalTime{2026, 12, 9, s / 3600, s / 60 % 60, s % 60, 0, 60});
    out << session_reading_line(log[log.count()]);
    if (log.count() == ReadingLog::kBlockRecords) log.reset_log_counters();
  }
  return file;
}

// What a reading costs once a long session is open in the window: the rise of
// the resident size over opening it and building its overview's pyramid.
void BM_OpenedSessionResident(benchmark::State& state) {
  const auto file = write_long_session(state.range(0));
  double per_reading = 0;
  for (auto _ : state) {
    const double before = resident_bytes();
    std::optional<OpenedLog> opened = OpenLogFile(file, ".");
    const std::string separator = ".";
    LogPyramid pyramid(opened->log, separator);
    pyramid.rebuild();
    benchmark::DoNotOptimize(pyramid.pyramid().size());
    per_reading = (resident_bytes() - before) / static_cast<double>(opened->log.count());
  }
  std::filesystem::remove(file);
  state.counters["bytes_per_reading"] = per_reading;
}
BENCHMARK(BM_OpenedSessionResident)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo
