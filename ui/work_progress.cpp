#include "work_progress.h"

#include <QProgressDialog>
#include <QTimer>
#include <algorithm>

namespace tarvo {

namespace {

// The dialog counts in thousands so that any count fits its int range.
constexpr std::int64_t kUnit = 1000;

int in_units(std::int64_t records) {
  return static_cast<int>(std::min<std::int64_t>(records / kUnit, 1 << 30));
}

}  // namespace

WorkProgress::WorkProgress(QWidget* window, QString label, QTimer* tick_timer)
    : window_(window), label_(std::move(label)), tick_timer_(tick_timer) {}

WorkProgress::~WorkProgress() {
  dialog_.reset();
  if (tick_held_ && tick_timer_) tick_timer_->start();
}

ExportProgress WorkProgress::callback() {
  return [this](std::int64_t done, std::int64_t total) { return report(done, total); };
}

bool WorkProgress::report(std::int64_t done, std::int64_t total) {
  if (!dialog_ && total > kProgressRecords) open_dialog(total);
  // A modal dialog runs the event loop inside setValue.
  if (dialog_) dialog_->setValue(in_units(done));
  return true;
}

void WorkProgress::open_dialog(std::int64_t total) {
  if (tick_timer_ && tick_timer_->isActive()) {
    tick_timer_->stop();
    tick_held_ = true;
  }
  dialog_ = std::make_unique<QProgressDialog>(label_, QString(), 0, in_units(total), window_);
  dialog_->setObjectName(QStringLiteral("dlgProgress"));
  dialog_->setWindowTitle(QStringLiteral("Tarvo"));
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setMinimumDuration(0);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
}

}  // namespace tarvo
