#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <array>
#include <set>
#include <string>

#include "data_grid.h"
#include "decode/bench_frame.h"
#include "decode/compact_frame.h"
#include "main_window.h"

namespace tarvo {
namespace {

using ColumnTexts = std::array<std::set<std::string>, 6>;

void add(ColumnTexts& texts, const CurrentReading& r) {
  texts[2].insert(r.Main_No);
  texts[3].insert(r.Main_Range);
  texts[4].insert(r.Sub_No);
  texts[5].insert(r.Sub_range);
}

// Every function and range code (the undefined ones too), manual and auto,
// every sub display of the bench family, plain, negative and overloaded,
// with each digit in every place.
ColumnTexts decoded_texts(const std::string& separator) {
  const DecodeSettings settings{separator, "\u03A9"};
  // Bytes 2 and 3 of the bench family: sub display off, statistics, the four
  // frequency ranges, dBm, duty cycle, relative mode.
  const std::array<std::array<std::uint8_t, 2>, 9> sub_modes{{{0x00, 0x00},
                                                              {0x00, 0x01},
                                                              {0x01, 0x00},
                                                              {0x01, 0x10},
                                                              {0x01, 0x20},
                                                              {0x01, 0x30},
                                                              {0x02, 0x00},
                                                              {0x00, 0x08},
                                                              {0x04, 0x00}}};
  ColumnTexts texts;
  CurrentReading r;
  for (int range = 0; range < 8; ++range) {
    for (int function = 0; function < 32; ++function) {
      for (const int flags : {0x00, 0x10, 0x60, 0x70}) {  // auto, negative
        for (const int overload : {0x00, 0x20}) {
          for (std::uint8_t d = 0; d < 10; ++d) {
            const auto head = static_cast<std::uint8_t>(0xA0 | range);
            const auto func = static_cast<std::uint8_t>(function | overload);
            for (const auto& [sub, more] : sub_modes) {
              RxBuffer rx;
              const auto b2 = static_cast<std::uint8_t>(flags | sub | (overload ? 0x08 : 0));
              rx.assign(
                  std::array<std::uint8_t, 14>{head, func, b2, more, d, d, d, d, d, d, d, d, d, d});
              if (decode_bench_frame(rx, r, settings)) add(texts, r);
            }
            RxBuffer rx;
            rx.assign(std::array<std::uint8_t, 8>{
                head, func, static_cast<std::uint8_t>(flags & 0x30), d, d, d, d, d});
            if (decode_compact_frame(rx, r, settings)) add(texts, r);
          }
        }
      }
    }
  }
  texts[0] = {"Index", "2147483647", "1999999999", "2000000000", "1111111111", "119978"};
  for (char d = '0'; d <= '9'; ++d) texts[1].insert(std::string{d, d, ':', d, d, ':', d, d});
  for (std::size_t c = 0; c < kGridColumns.size(); ++c) texts[c].emplace(kGridColumns[c].header);
  return texts;
}

// The width Qt's style gives the text of a cell in a column.
int text_room(const DataGrid& grid, int column, const QString& text = QStringLiteral("8")) {
  QStyleOptionViewItem option;
  option.text = text;
  option.initFrom(&grid);
  option.font = grid.font();
  option.features = QStyleOptionViewItem::HasDisplay;
  option.rect = QRect(0, 0, grid.columnWidth(column) - (grid.showGrid() ? 1 : 0), 15);
  return grid.style()->subElementRect(QStyle::SE_ItemViewItemText, &option, &grid).width();
}

// Every text the decoders can put into the grid reads in full in its column,
// in the window as laid out, for both decimal separators.
TEST(GridTexts, EveryTextTheDecodersProduceFitsItsColumn) {
  Program program;
  TForm1 window(program);
  window.show();
  DataGrid& grid = *window.data_grid();
  const auto* bar = window.findChild<QScrollBar*>("scrlbr_Grid1");
  for (const std::string separator : {".", ","}) {
    SCOPED_TRACE(separator);
    grid.set_decimal_separator(separator);
    grid.layout_grid();
    int columns = 0;
    for (int c = 0; c < 6; ++c) columns += grid.columnWidth(c);
    EXPECT_LE(grid.x() + grid.frameWidth() + columns, bar->x());  // none lies under the scrollbar
    EXPECT_GE(QFontInfo(grid.font()).pixelSize(), 10);

    const QFontMetrics metrics(grid.font());
    const ColumnTexts texts = decoded_texts(separator);
    for (int c = 0; c < 6; ++c) {
      for (const std::string& text : texts[static_cast<std::size_t>(c)]) {
        const QString shown = QString::fromStdString(text);
        EXPECT_LE(metrics.horizontalAdvance(shown), text_room(grid, c, shown))
            << "column " << c << ": " << text;
      }
    }
  }
}

}  // namespace
}  // namespace tarvo
