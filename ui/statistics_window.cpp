#include "statistics_window.h"

#include <QHeaderView>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

#include "i18n/text_numbers.h"

namespace tarvo {

namespace {

// The rows, by the string numbers of their captions.
constexpr std::array kRows = {kTextStatsKey,          kTextStatsCount,     kTextStatsMin,
                              kTextStatsMinTime,      kTextStatsMax,       kTextStatsMaxTime,
                              kTextStatsMean,         kTextStatsDeviation, kTextStatsFirst,
                              kTextStatsLast,         kTextStatsOverloads, kTextStatsLowestFrame,
                              kTextStatsHighestFrame, kTextStatsOutside};
constexpr std::array kColumns = {kTextStatsPage, kTextStatsRun, kTextStatsLog};

int row_of(int text) {
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    if (kRows[i] == text) return static_cast<int>(i);
  }
  return 0;
}

// Numbers as the program shows them: up to 15 significant digits, the
// program's decimal separator, no exponent for the values a meter shows.
QString number_text(const std::optional<double>& value, const std::string& separator,
                    int digits = 15) {
  if (!value) return QStringLiteral("-");
  QString text = QString::number(*value, 'g', digits);
  if (separator != ".") text.replace(QLatin1Char('.'), QString::fromStdString(separator));
  return text;
}

QString key_text(const RunKey& key) {
  return QString::fromStdString(key.function + " " + key.unit).trimmed();
}

}  // namespace

StatisticsWindow::StatisticsWindow(const MeterState& s, StatisticsFollower& follower,
                                   const AlarmWatch& alarms, PageSource page, QWidget* parent)
    : QDialog(parent), s_(s), follower_(follower), alarms_(alarms), page_(std::move(page)) {
  setObjectName(QStringLiteral("StatisticsWindow"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  table_ =
      new QTableWidget(static_cast<int>(kRows.size()), static_cast<int>(kColumns.size()), this);
  table_->setObjectName(QStringLiteral("StatisticsTable"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  for (int r = 0; r < table_->rowCount(); ++r) {
    for (int c = 0; c < table_->columnCount(); ++c) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(r, c, item);
    }
  }
  layout->addWidget(table_);
  retranslate();
  resize(640, 440);
}

void StatisticsWindow::retranslate() {
  setWindowTitle(QString::fromStdString(s_.text(kTextStatisticsTitle)));
  QStringList rows, columns;
  for (int n : kRows) rows << QString::fromStdString(s_.text(n));
  for (int n : kColumns) columns << QString::fromStdString(s_.text(n));
  table_->setVerticalHeaderLabels(rows);
  table_->setHorizontalHeaderLabels(columns);
  refresh();
}

void StatisticsWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  refresh();
}

void StatisticsWindow::refresh() {
  if (!isVisible()) return;
  const LogStatistics& figures = follower_.current();
  const PageBounds page = page_();
  const RunningStats page_stats = stats_of(s_.log, page.first, page.last, s_.DecimalSeparator);
  const std::vector<RunStats> page_runs =
      runs_of(s_.log, page.first, page.last, s_.DecimalSeparator);
  const QString page_key = page_runs.size() == 1 ? key_text(page_runs.front().key) : QString();
  fill_column(0, page_stats, page_key);
  fill_column(1, figures.current_run().stats, key_text(figures.current_run().key));
  // The whole log of the current run's function and unit: figures over
  // volts and ohms together would mean nothing.
  const RunStats* whole = figures.whole_of(figures.current_run().key);
  fill_column(2, whole != nullptr ? whole->stats : RunningStats(),
              whole != nullptr ? key_text(whole->key) : QString());
  // The excursions, each once however many readings it spans, counted from
  // the moment the limits were set, whatever page or run.
  table_->item(row_of(kTextStatsOutside), 2)->setText(QString::number(alarms_.excursions()));
}

void StatisticsWindow::fill_column(int column, const RunningStats& stats, const QString& key) {
  const std::string& sep = s_.DecimalSeparator;
  const auto set = [this, column](int text, const QString& value) {
    table_->item(row_of(text), column)->setText(value);
  };
  const auto value_of = [](const std::optional<Extreme>& e) {
    return e ? std::optional(e->value) : std::nullopt;
  };
  const auto time_of = [](const std::optional<Extreme>& e) {
    return e ? QString::fromStdString(e->time) : QStringLiteral("-");
  };
  set(kTextStatsKey, key.isEmpty() ? QStringLiteral("-") : key);
  set(kTextStatsCount, QString::number(stats.count()));
  set(kTextStatsMin, number_text(value_of(stats.min()), sep));
  set(kTextStatsMinTime, time_of(stats.min()));
  set(kTextStatsMax, number_text(value_of(stats.max()), sep));
  set(kTextStatsMaxTime, time_of(stats.max()));
  // Seven digits say more than a meter's five; the rest would be noise.
  set(kTextStatsMean, number_text(stats.mean(), sep, 7));
  set(kTextStatsDeviation, number_text(stats.stddev(), sep, 7));
  set(kTextStatsFirst,
      stats.count() ? QString::fromStdString(stats.first_time()) : QStringLiteral("-"));
  set(kTextStatsLast,
      stats.count() ? QString::fromStdString(stats.last_time()) : QStringLiteral("-"));
  set(kTextStatsOverloads, QString::number(stats.overloads()));
  set(kTextStatsLowestFrame, number_text(value_of(stats.lowest_frame()), sep));
  set(kTextStatsHighestFrame, number_text(value_of(stats.highest_frame()), sep));
  set(kTextStatsOutside, QStringLiteral("-"));
}

}  // namespace tarvo
