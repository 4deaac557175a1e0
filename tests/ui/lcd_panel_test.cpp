#include "lcd_panel.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QLabel>
#include <QRegion>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "lower_panel_pictures.h"

namespace tarvo {
namespace {

CurrentReading reading(std::string main_range, std::string main_no, std::string sub_range = "  ",
                       std::string sub_no = "") {
  CurrentReading r;
  r.is_AUTO = main_range.find("AUTO") != std::string::npos;
  r.Main_Range = std::move(main_range);
  r.Main_No = std::move(main_no);
  r.Sub_range = std::move(sub_range);
  r.Sub_No = std::move(sub_no);
  return r;
}

std::vector<int> lit_overlays(const LcdPanel& panel) {
  std::vector<int> lit;
  for (int k = 0; k < static_cast<int>(kLcdOverlayCount); ++k) {
    if (panel.overlay_lit(k)) lit.push_back(k);
  }
  return lit;
}

QRect legend_rect(const AnnunciatorRow& row) {
  return {row.rect.left, row.rect.top, row.rect.width, row.rect.height};
}

// What the panel paints must be what its view says: each legend rectangle
// shows the lit picture exactly when its overlay is lit, and everything that
// is neither a legend nor a shown label is the blank LCD.
void expect_painted_as_viewed(LcdPanel& panel) {
  const qreal ratio = panel.devicePixelRatioF();
  const QImage shown = grab_image(panel);
  const QImage lit = picture_image(kLcdLitPicture, ratio);
  const QImage blank = picture_image(kLcdBlankPicture, ratio);
  ASSERT_EQ(shown.size(), blank.size());

  QRegion covered;
  for (const AnnunciatorRow& row : kAnnunciatorTable) {
    const int overlay = static_cast<int>(overlay_number(row.id));
    const bool on = panel.overlay_lit(overlay);
    const QRect r = device_rect(legend_rect(row), ratio);
    EXPECT_EQ(shown.copy(r), (on ? lit : blank).copy(r))
        << "overlay " << overlay << (on ? " should be lit" : " should be dark");
    covered += r;
  }
  for (const LcdLabelLayout& layout : kLcdLabelLayouts) {
    if (panel.label(layout.label)->isVisibleTo(&panel)) {
      covered += device_rect(panel.label(layout.label)->geometry(), ratio);
    }
  }
  QImage expected_rest = shown;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      if (!covered.contains(QPoint(x, y))) expected_rest.setPixel(x, y, blank.pixel(x, y));
    }
  }
  EXPECT_EQ(shown, expected_rest) << "paint outside the legends and the shown labels";
}

TEST(LcdPanel, LabelsKeepTheirNamesPlacesAndFitTheDesignCaption) {
  LcdPanel panel;
  EXPECT_EQ(panel.objectName(), "IMG_LCD");
  for (const LcdLabelLayout& layout : kLcdLabelLayouts) {
    const QLabel* label = panel.label(layout.label);
    ASSERT_NE(label, nullptr);
    const QString name =
        QString::fromUtf8(layout.control.data(), static_cast<qsizetype>(layout.control.size()));
    EXPECT_EQ(label->objectName(), name);
    EXPECT_EQ(label, panel.findChild<QLabel*>(name));
    EXPECT_EQ(label->geometry(),
              QRect(layout.rect.left, layout.rect.top, layout.rect.width, layout.rect.height));
    EXPECT_EQ(label->text(), "88.888");
    EXPECT_TRUE(label->alignment() & Qt::AlignRight) << name.toStdString();
    EXPECT_EQ(label->font().pixelSize(), layout.char_height) << name.toStdString();
    EXPECT_TRUE(label->font().bold()) << name.toStdString();
    // Whatever face stands in for the design one, six characters must fit.
    EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance("88.888"), layout.rect.width)
        << name.toStdString();
  }
  EXPECT_TRUE(lit_overlays(panel).empty());
  expect_painted_as_viewed(panel);
}

struct PanelCase {
  const char* name;
  CurrentReading reading;
  std::vector<int> lit;
  std::string main_caption;
  std::optional<std::string> sub_caption;    // nullopt: hidden
  std::optional<std::string> range_caption;  // nullopt: hidden
};

void PrintTo(const PanelCase& c, std::ostream* os) {
  *os << c.name;
}

CurrentReading with_rel(CurrentReading r) {
  r.is_REL = true;
  return r;
}

CurrentReading with_stat(CurrentReading r, int mode) {
  r.Stat_Mode = mode;
  return r;
}

const PanelCase kPanelCases[] = {
    {"DcVoltsWithFrequency",
     reading("DCV AUTO 50.000 V", "-12.345", "FRE 9.9999 KHz", "0.0060"),
     {1, 8, 22, 23, 29, 55, 59, 60},
     "12.345",
     "0.0060",
     std::nullopt},
    {"ManualOhmsRelative",
     with_rel(reading("OHM MANU 5.0000 M\u03A9", "1.2345", "OHM 5.0000 M\u03A9", "3.3000")),
     {3, 9, 33, 35, 52, 55, 57, 58},
     "1.2345",
     "3.3000",
     "5.0000"},
    {"MaxMinCurrent",
     with_stat(reading("DCA AUTO 500.00 mA", "-12.34", "DCA 500.00 mA", "-43.21"), 3),
     {2, 8, 22, 23, 30, 32, 50, 51, 54, 55, 65},
     "12.34",
     "43.21",
     std::nullopt},
    {"Overload",
     reading("ACV MANU 500.00 V", "OL"),
     {1, 9, 20, 24, 29, 55},
     "OL",
     std::nullopt,
     "500.00"},
    {"CompactDbm",
     reading("dBm AUTO 99.99 dBm", "4.77", "", ""),
     {8, 55, 63, 64},
     "4.77",
     std::nullopt,
     std::nullopt},
};

class LcdPanelReading : public ::testing::TestWithParam<PanelCase> {};

TEST_P(LcdPanelReading, LightsTheLegendsAndDigitsOfTheReading) {
  const PanelCase& c = GetParam();
  LcdPanel panel;
  panel.init_lcd_table();
  panel.show_reading(c.reading, ".");

  EXPECT_EQ(lit_overlays(panel), c.lit);
  EXPECT_EQ(panel.label(LcdLabel::MainNo)->text().toStdString(), c.main_caption);
  EXPECT_TRUE(panel.label(LcdLabel::MainNo)->isVisibleTo(&panel));
  const QLabel* sub = panel.label(LcdLabel::SubNo);
  EXPECT_EQ(sub->isVisibleTo(&panel), c.sub_caption.has_value());
  EXPECT_EQ(sub->text().toStdString(), c.sub_caption.value_or(""));
  const QLabel* range = panel.label(LcdLabel::Range);
  EXPECT_EQ(range->isVisibleTo(&panel), c.range_caption.has_value());
  if (c.range_caption) {
    EXPECT_EQ(range->text().toStdString(), *c.range_caption);
  }
  expect_painted_as_viewed(panel);
}

INSTANTIATE_TEST_SUITE_P(Readings, LcdPanelReading, ::testing::ValuesIn(kPanelCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LcdPanel, ResetAfterABenchAcquisitionLightsEveryLegend) {
  LcdPanel panel;
  panel.init_lcd_table();
  panel.show_reading(kPanelCases[0].reading, ".");
  panel.reset(MeterModel::ModelTarvo);

  EXPECT_EQ(lit_overlays(panel).size(), kAnnunciatorTable.size());
  for (const AnnunciatorRow& row : kAnnunciatorTable) {
    EXPECT_TRUE(panel.overlay_lit(static_cast<int>(overlay_number(row.id))));
  }
  // The digits stay as the last reading left them.
  EXPECT_EQ(panel.label(LcdLabel::MainNo)->text(), "12.345");
  EXPECT_EQ(panel.label(LcdLabel::SubNo)->text(), "0.0060");
  expect_painted_as_viewed(panel);
}

TEST(LcdPanel, ResetAfterACompactAcquisitionKeepsThePanel) {
  LcdPanel panel;
  panel.init_lcd_table();
  panel.show_reading(kPanelCases[4].reading, ".");
  const std::vector<int> lit_before = lit_overlays(panel);
  const QImage before = grab_image(panel);

  panel.reset(MeterModel::ModelNoxel);

  EXPECT_EQ(lit_overlays(panel), lit_before);
  EXPECT_EQ(panel.label(LcdLabel::MainNo)->text(), "4.77");
  EXPECT_FALSE(panel.label(LcdLabel::SubNo)->isVisibleTo(&panel));
  EXPECT_EQ(grab_image(panel), before);
}

}  // namespace
}  // namespace tarvo
