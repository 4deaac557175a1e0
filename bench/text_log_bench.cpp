#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/text_log.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 1000000;

// A million readings of a bench meter with both displays lit.
const ReadingLog& long_log() {
  static const ReadingLog log = [] {
    std::vector<real_Record> records(kRecords);
    for (int i = 0; i < kRecords; ++i) {
      real_Record& r = records[static_cast<std::size_t>(i)];
      r.Index = i + 1;
      r.Time.assign("09:05:03");
      r.Main_No.assign(i % 1000 == 0 ? "OL" : "-12.345");
      r.Main_Range.assign("OHM AUTO 50.000 K\xCE\xA9");
      r.Sub_No.assign("60.00");
      r.Sub_range.assign("FRE 99.99 Hz");
    }
    ReadingLog log;
    log.replace(std::move(records));
    return log;
  }();
  return log;
}

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "tarvo-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void report_file(benchmark::State& state, const fs::path& file) {
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
}

// The whole save, flush to the disk and rename included.
void BM_SaveTextLog(benchmark::State& state) {
  const ReadingLog& log = long_log();
  const ScratchFolder folder;
  const fs::path file = folder.path() / "log.txt";
  for (auto _ : state) {
    std::string error;
    if (!SaveTextLog(log, file, &error)) state.SkipWithError(error.c_str());
  }
  report_file(state, file);
}
BENCHMARK(BM_SaveTextLog)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reading, decoding and checking every record of the file.
void BM_LoadTextLog(benchmark::State& state) {
  const ScratchFolder folder;
  const fs::path file = folder.path() / "log.txt";
  SaveTextLog(long_log(), file);
  for (auto _ : state) {
    const auto records = LoadTextLog(file, ".");
    if (!records || records->size() != kRecords) state.SkipWithError("the log did not load");
    benchmark::DoNotOptimize(records);
  }
  report_file(state, file);
}
BENCHMARK(BM_LoadTextLog)->Unit(benchmark::kMillisecond)->UseRealTime();

// A figure of /proc/self/status in KiB ("VmRSS", "VmHWM"); 0 where there is none.
long status_kib(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(key + ":")) return std::atol(line.c_str() + key.size() + 1);
  }
  return 0;
}

// Linux resets the peak resident size (VmHWM) to the current one on "5".
bool reset_peak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  return static_cast<bool>(clear.flush());
}

// File > Open of a million records, the log replaced: the most memory in use
// at any moment above what was in use before, against the memory of the log
// it yields. The file is read in pieces, so the two are close.
void BM_OpenPeakMemory(benchmark::State& state) {
  const ScratchFolder folder;
  const fs::path file = folder.path() / "log.txt";
  SaveTextLog(long_log(), file);
  double peak_mib = 0;
  double log_mib = 0;
  for (auto _ : state) {
    ReadingLog log;
    const long before = status_kib("VmRSS");
    if (!reset_peak()) state.SkipWithError("the peak memory cannot be reset here");
    auto records = LoadTextLog(file, ".");
    if (!records) state.SkipWithError("the log did not load");
    log.replace(std::move(*records));
    peak_mib = static_cast<double>(status_kib("VmHWM") - before) / 1024;
    log_mib = static_cast<double>(log.storage_size() * sizeof(real_Record)) / (1 << 20);
  }
  state.counters["peak_MiB"] = peak_mib;
  state.counters["log_MiB"] = log_mib;
  state.counters["peak_per_log"] = peak_mib / log_mib;
}
BENCHMARK(BM_OpenPeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace tarvo
