#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "display/chart_page.h"
#include "display/grid_window.h"

namespace tarvo {
namespace {

// A log of one run with varying values, as a long acquisition leaves it.
ReadingLog long_log(std::int64_t count) {
  std::vector<real_Record> records(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    real_Record& r = records[static_cast<std::size_t>(i)];
    r.Index = i + 1;
    r.Main_No.assign(std::to_string(i % 50000 - 25000) + ".25");
    r.Sub_No.assign("60.00");
    r.Main_Range.assign("DCV AUTO 500.00 mV");
    r.Sub_range.assign("FRE 99.999 Hz");
    r.Time.assign("12:34:56");
  }
  ReadingLog log;
  log.replace(std::move(records));
  return log;
}

// A refresh of the grid: the window, its scrollbar and the texts of all cells
// the 23 data rows of the design height show.
void BM_GridRefresh(benchmark::State& state) {
  const ReadingLog log = long_log(state.range(0));
  const std::int32_t rows = grid_row_count(395);
  for (auto _ : state) {
    const GridWindow window = refill_grid(log.count(), rows);
    benchmark::DoNotOptimize(re_size_grid(log.count(), rows));
    for (std::int32_t r = 1; r <= window.data_rows; ++r) {
      const std::int64_t n = window.record_in_row(r);
      for (std::size_t c = 0; n != 0 && c < kGridColumns.size(); ++c) {
        benchmark::DoNotOptimize(grid_cell_text(log[n], c));
      }
    }
  }
}
BENCHMARK(BM_GridRefresh)->Arg(1000)->Arg(1000000);

// The chart page that ends at the newest record, as every reading draws it.
void BM_ChartNewestPage(benchmark::State& state) {
  const ReadingLog log = long_log(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(update_chart(log, log.count(), PageDirection::Backward, "."));
  }
}
BENCHMARK(BM_ChartNewestPage)->Arg(1000)->Arg(1000000);

// A page in the middle of the log, as the scrollbar asks for it.
void BM_ChartScrolledPage(benchmark::State& state) {
  const ReadingLog log = long_log(state.range(0));
  const ScrollParams bar = update_chart_scrollbar(log.count());
  const ChartRequest request = *scroll_chart(bar.max / 2, bar);
  for (auto _ : state) {
    benchmark::DoNotOptimize(update_chart(log, request.n, request.direction, "."));
  }
}
BENCHMARK(BM_ChartScrolledPage)->Arg(1000)->Arg(1000000);

}  // namespace
}  // namespace tarvo
