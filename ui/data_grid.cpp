#include "data_grid.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPalette>
#include <QScrollBar>
#include <QSignalBlocker>

namespace tarvo {

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
  if (role != Qt::DisplayRole) return {};
  if (index.row() == 0) {
    const std::string_view header = kGridColumns[column].header;
    return QString::fromLatin1(header.data(), static_cast<qsizetype>(header.size()));
  }
  const std::int64_t n = window_.record_in_row(index.row());
  // A log replaced since the last fill may be shorter than the window.
  if (n == 0 || n > log_.count()) return {};
  return QString::fromStdString(grid_cell_text(log_[n], column));
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
  setFocusPolicy(Qt::NoFocus);
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
  row_count_ = grid_row_count(height());
  for (std::size_t c = 0; c < kGridColumns.size(); ++c) {
    setColumnWidth(static_cast<int>(c), kGridColumns[c].width);
  }
  model_->show_window(tarvo::clear_grid_rows(row_count_));
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

void DataGrid::scrlbr_Grid1Change() {
  if (!scrollbar_->isEnabled()) return;
  model_->show_window(grid_window_at(scroll_params(), log_.count(), row_count_));
}

}  // namespace tarvo
