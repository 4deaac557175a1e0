#include "files/work_progress.h"

namespace tarvo {

namespace {

constexpr std::int64_t kRecordsPerTick = 4096;

}  // namespace

ProgressTicker::ProgressTicker(const ExportProgress& progress, std::int64_t total)
    : progress_(progress), total_(total) {}

bool ProgressTicker::start() {
  return report();
}

bool ProgressTicker::record_done() {
  ++done_;
  return done_ % kRecordsPerTick != 0 || report();
}

bool ProgressTicker::finish() {
  return report();
}

bool ProgressTicker::report() {
  return !progress_ || progress_(done_, total_);
}

}  // namespace tarvo
