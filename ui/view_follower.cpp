#include "view_follower.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "data_grid.h"
#include "i18n/text_numbers.h"
#include "trend_chart.h"

namespace tarvo {
namespace {

// The bar keeps this far from the chart's top and right edges, clear of the
// plot's right end.
constexpr int kBarTop = 4;
constexpr int kBarRight = 24;

}  // namespace

ViewFollower::ViewFollower(const MeterState& s, DataGrid& grid, TrendChart& chart, QWidget* parent)
    : QFrame(parent),
      s_(s),
      grid_(grid),
      chart_(chart),
      note_(new QLabel(this)),
      newest_(new QPushButton(this)) {
  setObjectName(QStringLiteral("FollowBar"));
  setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QColor(255, 244, 196));
  colours.setColor(QPalette::WindowText, Qt::black);
  setPalette(colours);
  note_->setObjectName(QStringLiteral("lbl_following"));
  newest_->setObjectName(QStringLiteral("btn_newest"));
  newest_->setFocusPolicy(Qt::NoFocus);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 2, 2, 2);
  layout->setSpacing(8);
  layout->addWidget(note_);
  layout->addWidget(newest_);

  connect(newest_, &QPushButton::clicked, this, &ViewFollower::show_newest);
  connect(&grid_, &DataGrid::rows_moved, this, &ViewFollower::grid_moved);
  connect(&chart_, &TrendChart::page_moved, this, &ViewFollower::page_moved);
  connect(&grid_, &DataGrid::newest_asked, this, &ViewFollower::show_newest);
  connect(&chart_, &TrendChart::newest_asked, this, &ViewFollower::show_newest);
  chart_.installEventFilter(this);
  hide();
}

std::int64_t ViewFollower::meanwhile() const {
  return readings_meanwhile(following_, s_.log.count());
}

void ViewFollower::refresh_grid() {
  if (views_follow(following_)) {
    grid_.refresh_grid();
  } else {
    grid_.hold_rows();
    show_state();
  }
}

void ViewFollower::update_chart(std::int64_t n, PageDirection direction) {
  if (views_follow(following_)) {
    chart_.update_chart(n, direction);
  } else {
    chart_.hold_page();
  }
}

void ViewFollower::show_reading(std::int64_t n) {
  const std::int64_t count = s_.log.count();
  if (n < 1 || n > count) return;
  choosing_ = true;
  chart_.show_reading(n);
  const GridWindow& rows = grid_.window();
  if (n < rows.first || n >= rows.first + rows.data_rows) {
    // The record comes to the middle of the rows.
    grid_.scroll_rows(static_cast<int>(n + rows.data_rows / 2 - (rows.first + rows.data_rows - 1)));
  }
  choosing_ = false;
  const bool newest =
      grid_shows_newest(grid_.window(), count) && page_shows_newest(chart_.page().bounds, count);
  moved(newest);
}

void ViewFollower::show_newest() {
  follow_newest(following_);
  const std::int64_t count = s_.log.count();
  grid_.refresh_grid();
  if (count > 0) chart_.update_chart(count, PageDirection::Backward);
  show_state();
}

void ViewFollower::views_reset() {
  follow_newest(following_);
  show_state();
}

void ViewFollower::lay_out_grid() {
  const std::int64_t first = grid_.window().first;
  grid_.layout_grid();
  if (views_follow(following_)) {
    grid_.refill_grid();
  } else {
    grid_.show_rows_from(first);
  }
}

void ViewFollower::grid_moved() {
  if (!choosing_) moved(grid_shows_newest(grid_.window(), s_.log.count()));
}

void ViewFollower::page_moved() {
  if (!choosing_) moved(page_shows_newest(chart_.page().bounds, s_.log.count()));
}

void ViewFollower::moved(bool shows_newest) {
  if (view_moved(following_, shows_newest, s_.log.count())) {
    show_newest();  // both views, not only the one the user moved
    return;
  }
  show_state();
}

void ViewFollower::show_state() {
  if (!following_.holding) {
    hide();
    return;
  }
  const std::int64_t count = meanwhile();
  // Every time: the language table may have been filled or switched since.
  newest_->setText(QString::fromStdString(s_.text(kTextBackToNewest)));
  newest_->setToolTip(QString::fromStdString(s_.text(kTextBackToNewestTip)));
  note_->setText(
      count == 0
          ? QString::fromStdString(s_.text(kTextFollowingPaused))
          : QString::fromStdString(s_.text(kTextFollowingPausedCount)).arg(QString::number(count)));
  place();
  show();
  raise();
}

void ViewFollower::retranslate() {
  if (following_.holding) show_state();
}

bool ViewFollower::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &chart_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
    if (isVisible()) place();
  }
  return QFrame::eventFilter(watched, event);
}

void ViewFollower::place() {
  adjustSize();
  const QRect chart = chart_.geometry();
  const int width = std::min(sizeHint().width(), std::max(chart.width() - 2 * kBarRight, 0));
  setGeometry(chart.right() - kBarRight - width, chart.top() + kBarTop, width, sizeHint().height());
}

}  // namespace tarvo
