#include "data_grid.h"

#include <QApplication>
#include <QColor>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>
#include <cmath>
#include <numeric>

#include "decode/decode_settings.h"
#include "design_font.h"
#include "display/view_following.h"

namespace tarvo {
namespace {

// A digit in a text stands for any digit: the width is that of the widest.
qreal text_width(const QFontMetricsF& metrics, const std::string& text) {
  const QString shape = QString::fromStdString(text);
  if (!std::any_of(shape.begin(), shape.end(), [](QChar c) { return c.isDigit(); })) {
    return metrics.horizontalAdvance(shape);
  }
  qreal widest = 0;
  for (char digit = '0'; digit <= '9'; ++digit) {
    QString t = shape;
    for (QChar& c : t) {
      if (c.isDigit()) c = QLatin1Char(digit);
    }
    widest = std::max(widest, metrics.horizontalAdvance(t));
  }
  return widest;
}

DataGrid::ColumnWidths needed_widths(const GridColumnTexts& texts, const QFont& font, int padding) {
  const QFontMetricsF metrics(font);
  DataGrid::ColumnWidths widths{};
  for (std::size_t c = 0; c < texts.size(); ++c) {
    qreal widest = 0;
    for (const std::string& text : texts[c]) widest = std::max(widest, text_width(metrics, text));
    widths[c] = static_cast<int>(std::ceil(widest)) + padding;
  }
  return widths;
}

}  // namespace

GridModel::GridModel(const ReadingLog& log, QObject* parent)
    : QAbstractTableModel(parent), log_(log) {}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : window_.data_rows + 1;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kGridColumns.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto column = static_cast<std::size_t>(index.column());
  if (role == Qt::BackgroundRole && (index.row() == 0 || column == 0)) {
    return QGuiApplication::palette().button();  // the fixed row and column
  }
  if (role == Qt::DisplayRole && index.row() == 0) {
    const std::string_view header = kGridColumns[column].header;
    return QString::fromLatin1(header.data(), static_cast<qsizetype>(header.size()));
  }
  if (index.row() == 0) return {};
  const std::int64_t n = window_.record_in_row(index.row());
  // A log replaced since the last fill may be shorter than the window.
  if (n == 0 || n > log_.count()) return {};
  return record_data(n, column, role);
}

// A row outside the limits takes the alarm's colour; the first reading after
// a gap and a typed test frame have colours of their own and say in their tip
// what they are.
QVariant GridModel::record_data(std::int64_t n, std::size_t column, int role) const {
  const real_Record& record = log_[n];
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(grid_cell_text(record, column));
    case Qt::BackgroundRole:
      if (highlight_ && highlight_(n, record)) return QColor(255, 200, 200);
      if (record.TestFrame) return QColor(205, 218, 240);
      if (record.AfterGap) return QColor(255, 226, 150);
      return {};
    case Qt::ForegroundRole:
      if (record.TestFrame) return QColor(30, 60, 150);
      return {};
    case Qt::ToolTipRole:
      if (mark_tip_ && (record.TestFrame || record.AfterGap)) return mark_tip_(record);
      return {};
    default:
      return {};
  }
}

void GridModel::show_window(const GridWindow& window) {
  if (window.data_rows != window_.data_rows) {
    beginResetModel();
    window_ = window;
    endResetModel();
    return;
  }
  window_ = window;
  if (window_.data_rows > 0) {
    emit dataChanged(index(1, 0), index(window_.data_rows, columnCount() - 1), {Qt::DisplayRole});
  }
}

DataGrid::DataGrid(const ReadingLog& log, QScrollBar* scrollbar, QWidget* parent)
    : QTableView(parent), log_(log), scrollbar_(scrollbar), model_(new GridModel(log, this)) {
  setObjectName(QStringLiteral("StringGrid1"));
  setModel(model_);
  // Not a tab stop; a click gives it the keys for Page Up and Page Down.
  setFocusPolicy(Qt::ClickFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::NoSelection);
  setTextElideMode(Qt::ElideNone);
  setWordWrap(false);
  // Row 0 is the grid's own fixed header row, as high as every other row.
  horizontalHeader()->hide();
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(kGridRowHeight);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setMinimumSectionSize(1);

  scrollbar_->setObjectName(QStringLiteral("scrlbr_Grid1"));
  scrollbar_->setOrientation(Qt::Vertical);
  scrollbar_->setFocusPolicy(Qt::NoFocus);
  scrollbar_->setSingleStep(kScrollStep);
  scrollbar_->setPageStep(kScrollStep);
  set_scroll_params(initial_grid_scrollbar());
  // Only the user moves the thumb with signals on; the program sets it quietly.
  connect(scrollbar_, &QScrollBar::valueChanged, this, &DataGrid::scrlbr_Grid1Change);

  model_->show_window(tarvo::clear_grid_rows(row_count_));
  set_decimal_separator(".");
}

void DataGrid::set_decimal_separator(std::string_view separator) {
  if (texts_made_ && separator == separator_) return;
  separator_ = separator;
  column_texts_ = grid_column_texts(separator, DecodeSettings{}.ohm_sign);
  texts_made_ = true;
  fitted_widths_ = {};
  fitted_room_ = -1;
  // Before the first layout the grid has no width of its own to fit.
  if (laid_out_) fit_columns();
}

int DataGrid::column_room() const {
  const int inside = width() - 2 * frameWidth();
  if (scrollbar_->isHidden() || scrollbar_->parentWidget() != parentWidget() ||
      scrollbar_->x() <= x()) {
    return inside;
  }
  return std::min(inside, scrollbar_->x() - x() - frameWidth());
}

// Measuring every text the cells can hold is the costly part of a layout;
// the texts and the style stay, so each font size is measured once.
const DataGrid::ColumnWidths& DataGrid::widths_at(int pixels, int padding) {
  auto& fitted = fitted_widths_[static_cast<std::size_t>(pixels - kSmallestPixels)];
  if (!fitted || fitted->padding != padding) {
    fitted = FittedWidths{padding, needed_widths(column_texts_, narrow_font(pixels), padding)};
  }
  return fitted->widths;
}

void DataGrid::fit_columns() {
  const int room = column_room();
  if (room != fitted_room_) {
    fitted_room_ = room;
    // The text of a cell keeps the item margins clear on each side and the
    // grid line on its right.
    const int padding =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) +
        (showGrid() ? 1 : 0) + 1;
    const auto total = [](const ColumnWidths& widths) {
      return std::accumulate(widths.begin(), widths.end(), 0);
    };
    int pixels = kDesignPixels;
    while (pixels > kSmallestPixels && total(widths_at(pixels, padding)) > room) --pixels;
    column_widths_ = widths_at(pixels, padding);
    // What is left over is shared out, so the columns fill the visible width.
    const int spare = std::max(room - total(column_widths_), 0);
    const int columns = static_cast<int>(column_widths_.size());
    for (int c = 0; c < columns; ++c) {
      column_widths_[static_cast<std::size_t>(c)] +=
          spare / columns + (c < spare % columns ? 1 : 0);
    }
    setFont(narrow_font(pixels));
  }
  // A reset of the model gives the columns their default widths again.
  for (std::size_t c = 0; c < column_widths_.size(); ++c) {
    setColumnWidth(static_cast<int>(c), column_widths_[c]);
  }
}

ScrollParams DataGrid::scroll_params() const {
  return {scrollbar_->value(), scrollbar_->minimum(), scrollbar_->maximum(), kScrollStep};
}

void DataGrid::set_scroll_params(const ScrollParams& params) {
  const QSignalBlocker quiet(scrollbar_);
  scrollbar_->setRange(params.min, params.max);
  scrollbar_->setValue(params.position);
}

void DataGrid::layout_grid() {
  laid_out_ = true;
  row_count_ = grid_row_count(height());
  model_->show_window(tarvo::clear_grid_rows(row_count_));
  fit_columns();
}

void DataGrid::refill_grid() {
  model_->show_window(tarvo::refill_grid(log_.count(), row_count_));
}

void DataGrid::re_size_grid() {
  // The window of these parameters is the one refill_grid shows: no second fill.
  set_scroll_params(tarvo::re_size_grid(log_.count(), row_count_));
}

void DataGrid::refresh_grid() {
  refill_grid();
  re_size_grid();
}

void DataGrid::clear_grid_rows() {
  model_->show_window(tarvo::clear_grid_rows(row_count_));
}

void DataGrid::reset_grid() {
  set_scroll_params(reset_grid_scrollbar(row_count_));
  clear_grid_rows();
}

void DataGrid::scroll_rows(int rows) {
  if (!scrollbar_->isEnabled() || rows == 0) return;
  // The scrollbar holds the position within its range and fills the rows
  // through its change event only when the position moves.
  const auto target = static_cast<qint64>(scrollbar_->value()) + rows;
  scrollbar_->setValue(
      static_cast<int>(std::clamp<qint64>(target, scrollbar_->minimum(), scrollbar_->maximum())));
}

void DataGrid::hold_rows() {
  set_scroll_params(held_grid_scrollbar(window(), log_.count(), row_count_));
}

void DataGrid::show_rows_from(std::int64_t first) {
  const std::int64_t count = log_.count();
  if (count < 1) return;
  model_->show_window({std::clamp<std::int64_t>(first, 1, count), count, row_count_ - 1});
  hold_rows();
}

void DataGrid::wheelEvent(QWheelEvent* event) {
  wheel_angle_ += event->angleDelta().y();
  constexpr int kNotch = 120;
  const int notches = wheel_angle_ / kNotch;
  wheel_angle_ -= notches * kNotch;
  scroll_rows(-notches * QApplication::wheelScrollLines());
  event->accept();
}

// A page is the data rows less one, so the row at the edge stays in sight.
void DataGrid::keyPressEvent(QKeyEvent* event) {
  const int page = std::max(row_count_ - 2, 1);
  if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
    scroll_rows(event->key() == Qt::Key_PageUp ? -page : page);
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_End) {
    event->accept();
    emit newest_asked();
    return;
  }
  QTableView::keyPressEvent(event);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  const int row = rowAt(event->position().toPoint().y());
  const std::int64_t n = row > 0 ? record_in_row(row) : 0;
  event->accept();
  if (n > 0 && n <= log_.count()) emit record_chosen(n);
}

void DataGrid::scrlbr_Grid1Change() {
  if (!scrollbar_->isEnabled()) return;
  model_->show_window(grid_window_at(scroll_params(), log_.count(), row_count_));
  emit rows_moved();
}

}  // namespace tarvo
