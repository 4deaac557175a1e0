#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "display/grid_texts.h"
#include "display/grid_window.h"
#include "display/scroll_params.h"
#include "log/reading_log.h"

class QScrollBar;

namespace tarvo {

// The rows the grid shows: the header row 0, then a window of consecutive
// records, never the log. Cells are read from the log when they are painted,
// so a refresh costs what the visible rows cost, however long the log is.
class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  GridModel(const ReadingLog& log, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  const GridWindow& window() const { return window_; }
  void show_window(const GridWindow& window);
  // Rows of records it holds true for (given the record's place in the log)
  // get the alarm's colour.
  void set_highlight(std::function<bool(std::int64_t, const real_Record&)> highlight) {
    highlight_ = std::move(highlight);
  }
  // The tip of a marked record (the first after a gap, a test frame).
  void set_mark_tip(std::function<QString(const real_Record&)> tip) { mark_tip_ = std::move(tip); }

 private:
  QVariant record_data(std::int64_t n, std::size_t column, int role) const;

  const ReadingLog& log_;
  GridWindow window_;
  std::function<bool(std::int64_t, const real_Record&)> highlight_;
  std::function<QString(const real_Record&)> mark_tip_;
};

// StringGrid1: the log as a table beside the chart. The grid has no scrollbar
// of its own; scrlbr_Grid1, beside it, moves its window through the log.
class DataGrid : public QTableView {
  Q_OBJECT

 public:
  using ColumnWidths = std::array<int, kGridColumns.size()>;

  DataGrid(const ReadingLog& log, QScrollBar* scrollbar, QWidget* parent);

  // Rows, header included, as the last layout_grid set them.
  std::int32_t RowCount() const { return row_count_; }
  const GridWindow& window() const { return model_->window(); }
  void set_mark_tip(std::function<QString(const real_Record&)> tip) {
    model_->set_mark_tip(std::move(tip));
  }
  void set_highlight(std::function<bool(std::int64_t, const real_Record&)> highlight) {
    model_->set_highlight(std::move(highlight));
  }
  // The record a data row (from 1) shows, 0 for an empty row.
  std::int64_t record_in_row(std::int32_t row) const { return window().record_in_row(row); }
  ScrollParams scroll_params() const;

  // The texts the cells can hold follow the decimal separator.
  void set_decimal_separator(std::string_view separator);
  // The row count from the current height, then the columns and their headers.
  // The columns share the width the grid shows beside its scrollbar so that
  // every text the cells can hold reads in full; the font gets smaller only
  // when they cannot.
  void layout_grid();
  // The window that ends with the newest record.
  void refill_grid();
  // The scrollbar for the current count and row count.
  void re_size_grid();
  // After each committed reading.
  void refresh_grid();
  void clear_grid_rows();
  // Reset: the scrollbar at the row count and every row empty.
  void reset_grid();
  // Moves the window by this many records (negative: back in time) through
  // the scrollbar, as a drag of its thumb would.
  void scroll_rows(int rows);
  // The rows stay as they are while the log grows; the scrollbar's range
  // grows with it.
  void hold_rows();
  // Rows from record first on, as far as the log goes (a held grid laid out
  // again).
  void show_rows_from(std::int64_t first);

 signals:
  // A data row holding a record was double-clicked.
  void record_chosen(std::int64_t n);
  // The user moved the rows (scrollbar, wheel, Page Up or Down).
  void rows_moved();
  // The End key: back to the newest reading.
  void newest_asked();

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private slots:
  void scrlbr_Grid1Change();

 private:
  void set_scroll_params(const ScrollParams& params);
  void fit_columns();
  // The width of the cells left of the scrollbar that lies over the grid.
  int column_room() const;
  const ColumnWidths& widths_at(int pixels, int padding);

  struct FittedWidths {
    int padding;
    ColumnWidths widths;
  };
  static constexpr int kDesignPixels = 11;
  static constexpr int kSmallestPixels = 8;

  const ReadingLog& log_;
  std::string separator_;
  bool texts_made_ = false;
  bool laid_out_ = false;
  GridColumnTexts column_texts_;
  // By font size, from kSmallestPixels to kDesignPixels.
  std::array<std::optional<FittedWidths>, kDesignPixels - kSmallestPixels + 1> fitted_widths_;
  int fitted_room_ = -1;
  ColumnWidths column_widths_{};
  QScrollBar* scrollbar_;
  GridModel* model_;
  std::int32_t row_count_ = 2;
  int wheel_angle_ = 0;  // eighths of a degree not yet turned into rows
};

}  // namespace tarvo
