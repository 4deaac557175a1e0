// The trend overview over a short and a week-long log: one redraw (the
// envelope of every pixel column, the axes and their labels, painted into a
// picture of the window's size) must stay within 30 ms at 1,000,000 readings,
// and what a commit adds to it must not grow with the log.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

#include "display/log_overview.h"
#include "display/min_max_pyramid.h"
#include "overview_painter.h"
#include "overview_window.h"

namespace tarvo {
namespace {

const std::string kSeparator = ".";

CurrentReading reading_of(double value) {
  CurrentReading r;
  char text[16];
  std::snprintf(text, sizeof text, "%.4f", value);
  r.Main_No = text;
  r.Main_Range = "DCV AUTO 5.0000 V";
  return r;
}

// A log of readings a second apart with a slow drift, a ripple and a spike
// now and then. The long one is built once and shared by the benchmarks
// (the commits they time add a few thousand readings to it); a short one is
// built anew for each.
struct LongLog {
  explicit LongLog(std::int64_t count) : log(meter.log), pyramid(log, kSeparator) {
    meter.LanguageBase = 1000;  // English
    LocalTime t{2026, 12, 1, 0, 0, 0, 0, 60};
    for (std::int64_t i = 0; i < count; ++i) {
      const double drift = 3.3 + 0.02 * static_cast<double>(i) / static_cast<double>(count);
      const double value = i % 9973 == 0 ? 4.1 : drift + 0.003 * std::sin(0.01 * i);
      t.second = static_cast<int>(i % 60);
      t.minute = static_cast<int>(i / 60 % 60);
      t.hour = static_cast<int>(i / 3600 % 24);
      t.day = 1 + static_cast<int>(i / 86400);
      log.append_reading(reading_of(value), t);
    }
    pyramid.rebuild();
    overview.set_domain({1, log.count()});
  }
  MeterState meter;
  ReadingLog& log;
  LogPyramid pyramid;
  LogOverview overview;
};

LongLog& long_log(std::int64_t count) {
  static std::map<std::int64_t, std::unique_ptr<LongLog>> logs;
  auto& slot = logs[count];
  if (!slot || count < 100000) slot = std::make_unique<LongLog>(count);
  return *slot;
}

void BM_OverviewRedraw(benchmark::State& state) {
  LongLog& data = long_log(state.range(0));
  QImage picture(1200, 500, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&picture);
    paint_overview(
        painter, picture.rect(),
        {data.log, data.pyramid.pyramid(), data.overview, kSeparator, QString(), QString()});
  }
  state.counters["records"] = static_cast<double>(data.log.count());
}
BENCHMARK(BM_OverviewRedraw)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Zoomed in to a tenth of the log, and to fewer readings than pixels.
void BM_OverviewRedrawZoomed(benchmark::State& state) {
  LongLog& data = long_log(1000000);
  LogOverview zoomed = data.overview;
  zoomed.set_view({400001, 400000 + state.range(0)});
  QImage picture(1200, 500, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&picture);
    paint_overview(painter, picture.rect(),
                   {data.log, data.pyramid.pyramid(), zoomed, kSeparator, QString(), QString()});
  }
}
BENCHMARK(BM_OverviewRedrawZoomed)->Arg(100000)->Arg(600)->Unit(benchmark::kMillisecond);

CurrentReading next_reading() {
  return reading_of(3.3101);
}
constexpr LocalTime kNextTime{2026, 12, 31, 14, 3, 27, 0, 60};

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The window shown offscreen: the commit's call of its listener, the
// coalesced refresh that follows on the event loop, and the repaint.
void BM_OverviewWindowCommit(benchmark::State& state) {
  LongLog& data = long_log(state.range(0));
  OverviewWindow window(data.meter);
  window.resize(1200, 560);
  window.show();
  QApplication::processEvents();
  const CurrentReading r = next_reading();
  for (auto _ : state) {
    const std::int64_t n = data.log.append_reading(r, kNextTime);
    const auto start = std::chrono::steady_clock::now();
    data.meter.commit_listeners.reading_committed(data.log[n]);
    QApplication::processEvents();
    window.plot()->repaint();
    state.SetIterationTime(seconds_since(start));
  }
  state.counters["records"] = static_cast<double>(data.log.count());
}
BENCHMARK(BM_OverviewWindowCommit)
    ->Arg(1000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);

// The fastest of several repetitions: a shared machine's noise is larger
// than the cost of a commit.
double fastest(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

// A commit as the overview's listener sees it: the log's append, then the
// pyramid takes the value and the scope and the view follow. Timed as a
// whole, without a clock read per commit (on this machine a clock read is a
// system call that costs more than the commit); BM_LogAppend is the same
// without the overview, and the difference is what the overview adds.
void BM_OverviewPerCommit(benchmark::State& state) {
  LongLog& data = long_log(state.range(0));
  const CurrentReading r = next_reading();
  for (auto _ : state) {
    const std::int64_t n = data.log.append_reading(r, kNextTime);
    data.pyramid.reading_committed(data.log[n]);
    data.overview.set_domain(
        scope_domain(OverviewScope::CurrentRun, data.log.count(), data.pyramid.run_start()));
    benchmark::DoNotOptimize(data.overview.view());
  }
}
BENCHMARK(BM_OverviewPerCommit)
    ->Arg(1000)
    ->Arg(1000000)
    ->Iterations(20000)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest)
    ->Unit(benchmark::kNanosecond);

void BM_LogAppend(benchmark::State& state) {
  LongLog& data = long_log(state.range(0));
  const CurrentReading r = next_reading();
  for (auto _ : state) benchmark::DoNotOptimize(data.log.append_reading(r, kNextTime));
}
BENCHMARK(BM_LogAppend)
    ->Arg(1000)
    ->Arg(1000000)
    ->Iterations(20000)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest)
    ->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace tarvo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
