// What the session file adds to a commit: the line, its write and the sync to
// the disk, on a session that is new or already long. The folder is under the
// working directory, so the figure is that of the disk the program runs from
// (TARVO_BENCH_DIR chooses another).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/session_file.h"
#include "files/session_keeper.h"
#include "files/session_store.h"
#include "link/polling_cycle.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

MeterState bench_meter() {
  MeterState s;
  s.model = MeterModel::ModelTarvo;
  s.reading.Main_No = "3.3014";
  s.reading.Sub_No = "50.00";
  s.reading.Main_Range = "DCV AUTO 5.0000 V";
  s.reading.Sub_range = "FRE 99.99 Hz";
  s.ReadingTime = {2026, 12, 9, 14, 3, 27, 0, 60};
  return s;
}

fs::path bench_folder() {
  const char* chosen = std::getenv("TARVO_BENCH_DIR");
  return fs::path(chosen != nullptr ? chosen : ".") /
         ("tarvo-session-bench-" + std::to_string(getpid()));
}

void BM_CommitWithoutSession(benchmark::State& state) {
  MeterState s = bench_meter();
  for (auto _ : state) {
    if (s.log.count() > 1000000) s.log.reset_log_counters();
    commit_reading(s, nullptr);
  }
}
BENCHMARK(BM_CommitWithoutSession)->Unit(benchmark::kMicrosecond);

// Arg: the readings the session holds before the timed commits.
void BM_CommitWithSession(benchmark::State& state) {
  const fs::path folder = bench_folder();
  fs::remove_all(folder);
  MeterState s = bench_meter();
  {
    SessionKeeper keeper(s, folder, [] { return LocalTime{2026, 12, 9, 14, 3, 27, 0, 60}; });
    keeper.acquisition_began();
    std::string earlier;
    for (std::int64_t n = 1; n <= state.range(0); ++n) {
      s.log.append_reading(s.reading, s.ReadingTime);
      earlier += session_reading_line(s.log[n]);
    }
    // The earlier readings in one write, as if they had been logged one by one.
    std::FILE* f = std::fopen(keeper.path().c_str(), "ab");
    std::fwrite(earlier.data(), 1, earlier.size(), f);
    std::fclose(f);
    for (auto _ : state) commit_reading(s, nullptr);
    state.counters["bytes"] = static_cast<double>(fs::file_size(keeper.path()));
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_CommitWithSession)->Arg(0)->Arg(1000000)->UseRealTime()->Unit(benchmark::kMicrosecond);

// A session whose header is followed by 30 GiB of zeros (sparse, so it costs
// no disk), as a crashed file system can leave one: listing the folder costs
// the same as for a short session. maxrss_MiB is the whole process's peak.
void BM_ListSessionsWithAHugeDamagedOne(benchmark::State& state) {
  const fs::path folder = bench_folder();
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path file = folder / "20261209-140327.tarvo-session";
  {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    const std::string head =
        session_header_text({{2026, 12, 9, 14, 3, 27, 0, 60}, "bench", 1, "."});
    std::fwrite(head.data(), 1, head.size(), f);
    std::fclose(f);
  }
  fs::resize_file(file, std::uint64_t{30} << 30);
  for (auto _ : state) benchmark::DoNotOptimize(list_sessions(folder));
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["maxrss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
  fs::remove_all(folder);
}
BENCHMARK(BM_ListSessionsWithAHugeDamagedOne)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo
