#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "files/jpeg_writer.h"
#include "files/spreadsheet_export.h"
#include "files/text_log.h"

namespace tarvo {
namespace {

constexpr std::int64_t kRecords = 1000000;

// A million readings as a long acquisition logs them: one a second, the main
// value changing every time, range and sub display mostly repeating, and the
// frames of each interval.
const ReadingLog& million_readings() {
  static const ReadingLog log = [] {
    std::vector<real_Record> records(kRecords);
    for (std::int64_t n = 1; n <= kRecords; ++n) {
      real_Record& r = records[static_cast<std::size_t>(n - 1)];
      r.Index = n;
      char time[16];
      std::snprintf(time, sizeof time, "%02d:%02d:%02d", static_cast<int>(n / 3600 % 24),
                    static_cast<int>(n / 60 % 60), static_cast<int>(n % 60));
      r.Time.assign(time);
      r.Main_No.assign(std::to_string(n * 7919 % 100000 - 50000) + ".0");
      r.Main_Range.assign(n / 50000 % 2 ? "OHM AUTO 50.000 K\xCE\xA9" : "DCV AUTO 5.0000 V");
      r.Sub_No.assign(std::to_string(n / 600 % 100) + ".00");
      r.Sub_range.assign("FRE 99.99 Hz");
      // Seven frames an interval, as a 2400-baud line brings them.
      const double shown = static_cast<double>(n * 7919 % 100000 - 50000);
      r.Frames = {7, 7, shown - 0.5, shown + 0.5, shown + 1.0 / 7};
    }
    ReadingLog l;
    l.replace(std::move(records));
    return l;
  }();
  return log;
}

std::size_t heap_in_use() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

double max_rss_mb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Exports the million readings to a file in the temporary folder. The heap
// counter is the most the export held above what was in use before it,
// sampled through the progress callback; the file is flushed to the disk
// before the rename, so the time includes that wait.
bool save(const ReadingLog& log, const std::filesystem::path& file,
          std::optional<SpreadsheetFormat> format, const ExportProgress& progress,
          std::string& error) {
  if (!format) return SaveTextLog(log, file, &error, progress);
  return ExportSpreadsheet(log, file, *format, progress, &error);
}

// The text log (no format) goes through the same path as the spreadsheets, so
// that Save As's four file types are measured on the same readings.
void BM_ExportMillion(benchmark::State& state, std::optional<SpreadsheetFormat> format,
                      const char* extension) {
  const ReadingLog& log = million_readings();
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / (std::string("tarvo-bench-export") + extension);
  std::size_t heap_peak = 0;
  for (auto _ : state) {
    const std::size_t base = heap_in_use();
    const ExportProgress sample = [&](std::int64_t, std::int64_t) {
      heap_peak = std::max(heap_peak, heap_in_use() - std::min(base, heap_in_use()));
      return true;
    };
    std::string error;
    if (!save(log, file, format, sample, error)) state.SkipWithError(error.c_str());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.counters["heap_peak_MB"] = static_cast<double>(heap_peak) / 1e6;
  state.counters["max_rss_MB"] = max_rss_mb();
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
  std::filesystem::remove(file);
}
BENCHMARK_CAPTURE(BM_ExportMillion, txt, std::nullopt, ".txt")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ExportMillion, xls, SpreadsheetFormat::Xls, ".xls")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ExportMillion, xlsx, SpreadsheetFormat::Xlsx, ".xlsx")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ExportMillion, csv, SpreadsheetFormat::Csv, ".csv")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The report picture of the chart: white, a grey grid and a red trace, as
// Save As encodes it for ".jpg" (the capture itself is not part of it).
void BM_JpegReportPicture(benchmark::State& state) {
  constexpr int kWidth = 1910;
  constexpr int kHeight = 1080;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3, 255);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * kWidth + x) * 3;
      if (x % 95 == 0 || y % 107 == 0) p[0] = p[1] = p[2] = 220;
      if (std::abs(y - 540 - static_cast<int>(300 * std::sin(x / 60.0))) < 1) p[1] = p[2] = 0;
    }
  }
  const RgbPixels pixels{rgb.data(), kWidth, kHeight, static_cast<std::size_t>(kWidth) * 3};
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::optional<std::string> jpeg = encode_jpeg(pixels);
    if (!jpeg) state.SkipWithError("the picture was not encoded");
    bytes = jpeg ? jpeg->size() : 0;
  }
  state.counters["file_KB"] = static_cast<double>(bytes) / 1e3;
}
BENCHMARK(BM_JpegReportPicture)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo
