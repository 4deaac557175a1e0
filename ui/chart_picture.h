#pragma once

#include <QImage>
#include <filesystem>
#include <optional>
#include <string>

#include "files/file_types.h"

class QWidget;

namespace tarvo {

class TrendChart;

// The report picture is the chart laid out at this size, with this margin.
inline constexpr QSize kCaptureChartSize{1900, 1070};
inline constexpr int kCaptureMargin = 5;
// Of that height, the title block above the chart takes this much.
inline constexpr int kReportTitleHeight = 100;

// The chart as it stands on screen, at its current size on white, without the
// cursor line and its labels.
QImage chart_bitmap(TrendChart& chart);

// The report picture: a title block (what the page shows, when, and its
// figures) over the chart laid out afresh in the rest of 1900 x 1070 with
// larger axis texts, drawn with its cursor controls onto a white picture with
// a 5-pixel border (1910 x 1080), whatever the size of the window. The chart
// gets its size and look back before this returns.
QImage chart_capture(TrendChart& chart);

// Writes the picture of the format. window, when given, accepts no input
// while the chart is captured. The file is replaced only once the new one is
// complete. On failure returns false and, when error is given, says why.
bool save_chart_picture(QWidget* window, TrendChart& chart, const std::filesystem::path& file,
                        PictureFormat format, std::string* error = nullptr);

}  // namespace tarvo
