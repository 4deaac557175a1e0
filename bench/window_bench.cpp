// The cost of one committed reading in the running program: the log append and
// the refresh of the grid and the chart, painted, with the main window shown on
// the offscreen platform. It must not grow with the length of the log.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>
#include <vector>

#include "data_grid.h"
#include "main_window.h"
#include "program.h"
#include "trend_chart.h"

namespace tarvo {
namespace {

std::vector<real_Record> long_run(std::int64_t count) {
  std::vector<real_Record> records(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    real_Record& r = records[static_cast<std::size_t>(i)];
    r.Index = i + 1;
    r.Main_No.assign(std::to_string(i % 40) + ".125");
    r.Main_Range.assign("DCV AUTO 50.000 mV");
    r.Sub_No.assign("60.00");
    r.Sub_range.assign("FRE 99.999 Hz");
    r.Time.assign("12:34:56");
  }
  return records;
}

// A window shown offscreen over a log of `count` records of one run, with the
// current reading set for further commits.
class ShownWindow {
 public:
  explicit ShownWindow(std::int64_t count) : window_(program_) {
    window_.show();
    QApplication::processEvents();
    MeterState& s = program_.state();
    s.log.replace(long_run(count));
    s.reading.Main_Range = "DCV AUTO 50.000 mV";
    s.reading.Main_No = "12.345";
    s.reading.Sub_range = "FRE 99.999 Hz";
    s.reading.Sub_No = "60.00";
    // The storage of a loaded log grows once, on the first appends; that is
    // not what a reading costs.
    for (int i = 0; i < 8; ++i) commit();
  }
  void commit() { commit_reading(program_.state(), &window_); }
  void paint() {
    window_.data_grid()->repaint();
    window_.trend_chart()->repaint();
  }
  std::int64_t count() const { return program_.state().log.count(); }

 private:
  Program program_;
  TForm1 window_;
};

// What a reading costs the program: the commit and the repaint it causes.
void BM_CommitWithWindowShown(benchmark::State& state) {
  ShownWindow shown(state.range(0));
  for (auto _ : state) {
    shown.commit();
    shown.paint();
  }
  state.counters["log_records"] = static_cast<double>(shown.count());
}
BENCHMARK(BM_CommitWithWindowShown)
    ->Arg(1000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0);

// The commit alone: the log, the grid's model, the series, axes and boxes.
void BM_CommitWithoutPaint(benchmark::State& state) {
  ShownWindow shown(state.range(0));
  for (auto _ : state) shown.commit();
  state.counters["log_records"] = static_cast<double>(shown.count());
}
BENCHMARK(BM_CommitWithoutPaint)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

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
