#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

#include "data_grid.h"

namespace tarvo::test {

// The text a row of the grid shows in a column: row 0 is the header row, data
// rows count from 1.
inline QString cell(const DataGrid& grid, int row, int column) {
  return grid.model()->index(row, column).data().toString();
}

// The record number in the Index column of a data row; 0 for an empty row.
inline std::int64_t index_in_row(const DataGrid& grid, int row) {
  const QString text = cell(grid, row, 0);
  return text.isEmpty() ? 0 : text.toLongLong();
}

template <class T>
T* named(const QWidget& window, const char* name) {
  T* found = window.findChild<T*>(QLatin1String(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

}  // namespace tarvo::test
