// The report picture as File > Save As writes it from the running window:
// the saved file is read back and its plot must hold the trace.
#include <gtest/gtest.h>

#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "chart_picture.h"
#include "demo_meter.h"
#include "main_window.h"
#include "pty_meter.h"
#include "scenario_parser.h"
#include "scenario_player.h"
#include "trend_chart.h"

namespace tarvo {
namespace {

constexpr AcquisitionTiming kFast{200, 50};

// 1 to 2 V on the 5 V range: the trace runs in the upper half of the plot.
std::unique_ptr<DemoMeter> fast_meter() {
  sim::PtyMeterOptions line;
  line.byte_time = std::chrono::microseconds(100);
  return std::make_unique<DemoMeter>(
      sim::ScenarioPlayer(sim::parse_scenario(
          "every 10ms\nDCV AUTO 5.0000 V 1.0000..2.0000 for 1h\n", MeterModel::ModelTarvo)),
      line, nullptr);
}

bool trace_red(QRgb pixel) {
  return qRed(pixel) > 180 && qGreen(pixel) < 120 && qBlue(pixel) < 120;
}

// Trace pixels in the plot of the report picture: below the title block
// (5 + 100 pixels), inside the axes' room.
int red_in_plot(const QImage& picture) {
  int red = 0;
  for (int y = 5 + 100 + 24; y < picture.height() - 5 - 64; ++y) {
    for (int x = 5 + 130; x < picture.width() - 5 - 40; ++x) red += trace_red(picture.pixel(x, y));
  }
  return red;
}

class ReportPicture : public ::testing::TestWithParam<PictureFormat> {
 protected:
  void SetUp() override {
    meter_ = fast_meter();
    program_.set_port_map_source([this] { return PortMap{{meter_->device_path()}, true}; });
    window_ = std::make_unique<TForm1>(program_);
    window_->set_timing(kFast);
    window_->set_message_presenter([](MessageKind, const std::string&) {});
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->findChild<QPushButton*>("Btn_Start")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return program_.state().log.count() >= 40; }, 20000));
  }

  // Saved as Save As saves it, then read back from the file.
  QImage saved() {
    const QString file =
        dir_.filePath(GetParam() == PictureFormat::Png ? "chart.png" : "chart.jpg");
    std::string error;
    EXPECT_TRUE(save_chart_picture(window_.get(), *window_->trend_chart(), file.toStdString(),
                                   GetParam(), &error))
        << error;
    return QImage(file).convertToFormat(QImage::Format_RGB32);
  }

  void stop() { window_->findChild<QPushButton*>("Btn_STOP")->click(); }

  std::unique_ptr<DemoMeter> meter_;
  Program program_;
  std::unique_ptr<TForm1> window_;
  QTemporaryDir dir_;
};

TEST_P(ReportPicture, HoldsTheTraceWhileRunningAndStoppedWithTheCursorOnAndOff) {
  struct Case {
    const char* name;
    bool stopped;
    bool cursor;
  };
  const Case cases[] = {
      {"running, cursor off", false, false},
      {"running, cursor on", false, true},
      {"stopped, cursor on", true, true},
      {"stopped, cursor off", true, false},
  };
  TrendChart& chart = *window_->trend_chart();
  for (const Case& c : cases) {
    if (c.stopped && program_.acquisition().state() == AcquisitionState::Acquiring) stop();
    if (chart.cursor().on != c.cursor) chart.Chart1DblClick();
    QTest::qWait(120);  // a reading or two in between, as a user's moment
    const QSize before = chart.size();
    const QImage picture = saved();
    ASSERT_EQ(picture.size(), QSize(1910, 1080)) << c.name;
    // A page of at least 40 readings spreads over a fifth of the plot at a
    // line two pixels wide: thousands of red pixels, not a stray few.
    EXPECT_GT(red_in_plot(picture), 400) << c.name;
    EXPECT_EQ(chart.size(), before) << c.name;
    EXPECT_TRUE(window_->isEnabled()) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, ReportPicture,
                         ::testing::Values(PictureFormat::Png, PictureFormat::Jpeg),
                         [](const auto& info) {
                           return info.param == PictureFormat::Png ? "Png" : "Jpeg";
                         });

}  // namespace
}  // namespace tarvo
