// What the statistics and the limits add to a commit, on a short and on a
// long log: the two must cost the same.
#include <benchmark/benchmark.h>

#include "log/limits.h"
#include "log/statistics.h"

namespace tarvo {
namespace {

CurrentReading reading() {
  CurrentReading r;
  r.Main_No = "3.3014";
  r.Main_Range = "DCV AUTO 5.0000 V";
  return r;
}

// Arg: the readings the log holds before the timed commits.
void BM_StatisticsPerCommit(benchmark::State& state) {
  const std::string separator = ".";
  ReadingLog log;
  const CurrentReading r = reading();
  const LocalTime t{2026, 12, 9, 14, 3, 27, 0, 60};
  const FrameFigures frames{12, 12, 3.2991, 3.3102, 3.30465};
  for (std::int64_t n = 0; n < state.range(0); ++n) log.append_reading(r, t, frames);
  StatisticsFollower follower(log, separator);
  LimitWatch limits(separator);
  limits.set_limits({{"DCV", "V"}, 3.31, 3.29});
  benchmark::DoNotOptimize(follower.current());
  for (auto _ : state) {
    state.PauseTiming();
    const std::int64_t n = log.append_reading(r, t, frames);
    state.ResumeTiming();
    follower.reading_committed(log[n]);
    limits.reading_committed(log[n]);
  }
}
BENCHMARK(BM_StatisticsPerCommit)->Arg(1000)->Arg(1000000)->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace tarvo
