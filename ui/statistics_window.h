#pragma once

#include <QDialog>
#include <functional>

#include "alarm/alarm_watch.h"
#include "display/chart_page.h"
#include "link/meter_state.h"
#include "log/statistics.h"

class QTableWidget;

namespace tarvo {

// View > Statistics: the figures of the chart's page, of the current run and
// of the whole log, side by side. Not modal; it follows each commit while it
// is shown, at a cost that does not grow with the log.
class StatisticsWindow : public QDialog {
  Q_OBJECT

 public:
  using PageSource = std::function<PageBounds()>;

  // The limits' row counts the excursions the alarm watch saw.
  StatisticsWindow(const MeterState& s, StatisticsFollower& follower, const AlarmWatch& alarms,
                   PageSource page, QWidget* parent = nullptr);

  // Fills the figures again; does nothing while the window is hidden.
  void refresh();
  // The row and column captions in the current language.
  void retranslate();

  QTableWidget* table() const { return table_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fill_column(int column, const RunningStats& stats, const QString& key);

  const MeterState& s_;
  StatisticsFollower& follower_;
  const AlarmWatch& alarms_;
  PageSource page_;
  QTableWidget* table_ = nullptr;
};

}  // namespace tarvo
