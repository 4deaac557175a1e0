#pragma once

#include <cstdint>
#include <functional>

namespace tarvo {

// Called with the records done so far and the total; returning false cancels
// the work, which then leaves no file behind (or, for a read, no records).
using ExportProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Calls the progress callback at the start, every few thousand records and at
// the end, so that long work stays responsive without paying per record.
class ProgressTicker {
 public:
  ProgressTicker(const ExportProgress& progress, std::int64_t total);
  // False once the callback asked to cancel.
  bool start();
  bool record_done();
  bool finish();

 private:
  bool report();

  const ExportProgress& progress_;
  std::int64_t total_;
  std::int64_t done_ = 0;
};

}  // namespace tarvo
