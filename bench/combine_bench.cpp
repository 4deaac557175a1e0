// tarvo-cli combine's rows: two meters on one time base with a product and a
// running integral, written as .csv. The cost per row must not grow with the
// sessions' length.
#include <benchmark/benchmark.h>

#include <cmath>
#include <ostream>
#include <streambuf>
#include <vector>

#include "combine/combined_file.h"
#include "combine/combined_rows.h"

namespace tarvo {
namespace {

// Counts the bytes and keeps none.
class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

std::vector<MeterReading> meter(std::int64_t count, std::string_view unit, double base) {
  std::vector<MeterReading> readings(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    MeterReading& r = readings[static_cast<std::size_t>(i)];
    r.when = LocalTime{2026, 12, 9, 0, 0, 0, 0, 60};
    r.utc_ms = 1'765'000'000'000 + i * 1000;
    r.value = base + std::sin(static_cast<double>(i) / 40);
    r.unit = unit;
  }
  return readings;
}

// Arg: the readings of each session.
void BM_CombineRowsToCsv(benchmark::State& state) {
  const std::vector<std::vector<MeterReading>> meters = {meter(state.range(0), "V", 12),
                                                         meter(state.range(0), "A", 2)};
  NullBuffer nothing;
  std::ostream out(&nothing);
  for (auto _ : state) {
    std::vector<NamedFormula> formulas;
    formulas.push_back({"P", Formula("A*B", 2)});
    formulas.push_back({"Q", Formula("integral(B)", 2)});
    CombinedRows rows(meters, formulas, 500);
    write_combined_csv(rows, out);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CombineRowsToCsv)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo
