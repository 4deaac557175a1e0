#pragma once

#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>

#include "files/work_progress.h"

class QProgressDialog;
class QTimer;
class QWidget;

namespace tarvo {

// Work on more records than this shows a progress dialog.
inline constexpr std::int64_t kProgressRecords = 100000;

// The progress of a long save, open or export. The dialog comes up at the
// first report of a large total and keeps the windows painted meanwhile: its
// updates let the event loop run, with input to every window held back. The
// acquisition's tick timer is held for as long, so that the log cannot grow
// under the work; a tick lost there is one a busy window would have lost too.
class WorkProgress {
 public:
  WorkProgress(QWidget* window, QString label, QTimer* tick_timer);
  ~WorkProgress();
  WorkProgress(const WorkProgress&) = delete;
  WorkProgress& operator=(const WorkProgress&) = delete;

  // The callback for the core's writers and readers; it never cancels.
  ExportProgress callback();
  bool shown() const { return dialog_ != nullptr; }

 private:
  bool report(std::int64_t done, std::int64_t total);
  void open_dialog(std::int64_t total);

  QWidget* window_;
  QString label_;
  QPointer<QTimer> tick_timer_;
  bool tick_held_ = false;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace tarvo
