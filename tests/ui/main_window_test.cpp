#include "main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <tuple>

#include "about_box.h"
#include "data_grid.h"
#include "debug_window.h"
#include "interval_dialog.h"
#include "status_bar.h"
#include "trend_chart.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

using test::named;

class Window : public ::testing::Test {
 protected:
  void open() {
    window_ = std::make_unique<TForm1>(program_);
    window_->show();
  }
  QRect place(const char* name) const { return named<QWidget>(*window_, name)->geometry(); }

  Program program_;
  std::unique_ptr<TForm1> window_;
};

// Every control at its design place in its parent, at the design client size.
TEST_F(Window, ControlsStartAtTheirDesignPlaces) {
  open();
  EXPECT_EQ(window_->centralWidget()->size(), QSize(1080, 568));
  struct Place {
    const char* name;
    QRect rect;
  };
  const Place places[] = {
      {"Panel_Chart", {0, 0, 1080, 568}},    {"Chart1", {1, 0, 668, 395}},
      {"StringGrid1", {665, 0, 414, 395}},   {"StatusBar1", {1, 547, 1078, 20}},
      {"Panel1", {1, 396, 1079, 152}},       {"scrlbr_Grid1", {1059, 0, 17, 392}},
      {"scrlbr_chart1", {-1, 378, 668, 17}}, {"Max_Tilt", {854, 5, 43, 21}},
      {"MAX_NO", {903, 5, 140, 21}},         {"max_time_no", {903, 32, 140, 21}},
      {"MIN_NO", {903, 69, 140, 21}},        {"MIN_TIME_Tilt", {854, 96, 43, 21}},
      {"Btn_Start", {856, 123, 51, 25}},     {"Btn_STOP", {913, 124, 50, 25}},
      {"Btn_Reset", {969, 124, 50, 25}},     {"Btn_EXT", {1025, 124, 50, 25}},
      {"mainno", {642, 502, 70, 27}},        {"btn_test", {760, 516, 75, 25}},
      {"edt_test", {547, 397, 288, 21}},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(place(p.name), p.rect);
  }
  EXPECT_EQ(window_->data_grid()->RowCount(), 24);
}

TEST_F(Window, ControlsFollowTheirAnchorsWhenTheWindowGrows) {
  open();
  window_->resize(window_->width() + 200, window_->height() + 100);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_->centralWidget()->width() == 1280; }));
  struct Place {
    const char* name;
    QRect rect;
  };
  const Place places[] = {
      {"Chart1", {1, 0, 868, 495}},         {"StringGrid1", {865, 0, 414, 495}},
      {"scrlbr_Grid1", {1259, 0, 17, 492}}, {"scrlbr_chart1", {-1, 478, 868, 17}},
      {"Panel1", {1, 496, 1279, 152}},      {"StatusBar1", {1, 647, 1278, 20}},
      {"MAX_NO", {1103, 5, 140, 21}},       {"Btn_EXT", {1225, 124, 50, 25}},
      {"mainno", {642, 602, 70, 27}},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(place(p.name), p.rect);
  }
  // 495 pixels: 31 rows, the header included.
  EXPECT_EQ(window_->data_grid()->RowCount(), 31);
  EXPECT_EQ(window_->data_grid()->model()->rowCount(), 31);
}

TEST_F(Window, StartsIdleInSimplifiedChinese) {
  open();
  const MeterState& s = program_.state();
  EXPECT_EQ(s.LanguageBase, 2000);
  EXPECT_EQ(s.model, MeterModel::ModelTarvo);
  EXPECT_EQ(s.RecordInterval, 1);
  EXPECT_EQ(named<QPushButton>(*window_, "Btn_Start")->text(), QString::fromUtf8("开始"));
  EXPECT_EQ(named<QPushButton>(*window_, "Btn_EXT")->text(), QString::fromUtf8("退出"));
  EXPECT_EQ(named<QMenu>(*window_, "File1")->title(), QString::fromUtf8("文件(&F)"));
  EXPECT_EQ(named<QAction>(*window_, "sys_set")->text(), QString::fromUtf8("记录间隔时间"));
  EXPECT_EQ(named<QLineEdit>(*window_, "Max_Tilt")->text(), QString::fromUtf8("最大"));
  EXPECT_EQ(named<QLineEdit>(*window_, "MIN_TIME_Tilt")->text(), QString::fromUtf8("时间"));

  // The design states of the controls.
  EXPECT_TRUE(named<QPushButton>(*window_, "Btn_Start")->isEnabled());
  EXPECT_FALSE(named<QPushButton>(*window_, "Btn_STOP")->isEnabled());
  EXPECT_FALSE(named<QPushButton>(*window_, "Btn_Reset")->isEnabled());
  EXPECT_TRUE(named<QPushButton>(*window_, "Btn_EXT")->isEnabled());
  EXPECT_TRUE(named<QAction>(*window_, "MMU_Open")->isEnabled());

  auto* show_timer = named<QTimer>(*window_, "Timer_Show");
  EXPECT_FALSE(show_timer->isActive());
  EXPECT_EQ(show_timer->interval(), 1000);
  EXPECT_TRUE(named<QTimer>(*window_, "Timer_sys")->isActive());

  // Without the marker file the debug item loses the check mark it was designed with.
  EXPECT_FALSE(named<QAction>(*window_, "mni_debug")->isChecked());
  EXPECT_FALSE(window_->debug_window()->isVisible());
  EXPECT_FALSE(window_->interval_dialog()->isVisible());
  EXPECT_FALSE(window_->about_box()->isVisible());
  EXPECT_TRUE(named<QAction>(*window_, "lan_02")->isChecked());

  // The Languages menu switches the window's captions.
  named<QAction>(*window_, "lan_01")->trigger();
  EXPECT_EQ(named<QPushButton>(*window_, "Btn_Start")->text(), "Start");
  EXPECT_EQ(program_.state().LanguageBase, 1000);
}

TEST_F(Window, StatusBarShowsTheDesignTextsUntilTheClockTicks) {
  open();
  PanelStatusBar& bar = *window_->status_bar();
  EXPECT_EQ(bar.panel_text(0), "STOP");
  EXPECT_EQ(bar.panel_text(2), "Sampling");
  EXPECT_EQ(bar.panel_text(3), "2011/07/17 20:22:00");
  window_->Timer_sysTimer();
  EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d.\\d\\d.\\d\\d.\\d\\d$")
                  .match(bar.panel_text(3))
                  .hasMatch())
      << bar.panel_text(3).toStdString();
  EXPECT_EQ(bar.panel_text(0), "STOP");
}

// The texts of a waiting acquisition and of a session file that is not
// written, written again or made anew, in the panels that show them, in every
// language.
TEST_F(Window, StatusTextsOfLongRunsFitTheirPanels) {
  open();
  const auto* run = window_->status_bar()->findChild<QLabel*>("StatusBar1_panel0");
  const auto* side = window_->status_bar()->findChild<QLabel*>("StatusBar1_panel1");
  ASSERT_TRUE(run && side);
  const MeterState& s = program_.state();
  for (std::int32_t base = 1000; base <= 5000; base += 1000) {
    const auto fits = [base, &s](const QLabel* panel, int n) {
      const QString text = QString::fromStdString(s.languages.text(base, n));
      const int room = panel->contentsRect().width() - 2 * panel->margin() - 2;
      EXPECT_LE(panel->fontMetrics().horizontalAdvance(text), room) << base + n;
    };
    fits(run, kTextWaitingShort);
    fits(side, kTextWaitingForMeter);
    fits(side, kTextSessionNotWritten);
    fits(side, kTextSessionWrittenAgain);
    fits(side, kTextSessionMadeAnew);
  }
}

// The idle texts and the chosen interval (the longest one here) follow a language switch, and fit
// their panels in every language.
TEST_F(Window, StatusBarFollowsTheLanguage) {
  open();
  PanelStatusBar& bar = *window_->status_bar();
  const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
      {"lan_01", "STOP", "Sampling", "Recording interval : 120 Seconds"},
      {"lan_02", "STOP", "Sampling", "记录间隔时间 : 120 秒"},
      {"lan_03", "ARRÊT", "Échantillonnage", "Intervalle de relevé : 120 seconde(s)"},
      {"lan_04", "STOPP", "Abtastung", "Messintervall : 120 Sekunde(n)"},
      {"lan_05", "PARADO", "Muestreo", "Intervalo de registro : 120 segundo(s)"},
  };
  const auto fits = [&bar](int panel) {
    const auto* label = bar.findChild<QLabel*>(QStringLiteral("StatusBar1_panel%1").arg(panel));
    const int room = label->contentsRect().width() - 2 * label->margin() - 2;
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), room)
        << label->text().toStdString();
  };
  for (const auto& [item, idle, no_interval, interval] : cases) {
    SCOPED_TRACE(item);
    named<QAction>(*window_, item)->trigger();
    EXPECT_EQ(bar.panel_text(0), QString::fromUtf8(idle));
    EXPECT_EQ(bar.panel_text(2), QString::fromUtf8(no_interval));
    fits(0);
    fits(2);
  }
  QTimer::singleShot(0, window_.get(), [this] {
    named<QSlider>(*window_->interval_dialog(), "trckbr_samp1")->setValue(120);
    named<QPushButton>(*window_->interval_dialog(), "btn_OK")->click();
  });
  named<QAction>(*window_, "sys_set")->trigger();
  for (const auto& [item, idle, no_interval, interval] : cases) {
    SCOPED_TRACE(item);
    named<QAction>(*window_, item)->trigger();
    EXPECT_EQ(bar.panel_text(2), QString::fromUtf8(interval));
    fits(2);
  }
}

TEST_F(Window, DebugFlagShowsTheDebugWindowWithTheMainWindow) {
  program_.DebugEnabled = true;
  open();
  // Once the main window is up, so that it comes in front of it.
  EXPECT_TRUE(QTest::qWaitFor([&] { return window_->debug_window()->isVisible(); }, 5000));
  EXPECT_TRUE(named<QAction>(*window_, "mni_debug")->isChecked());
  // Titled in the window's language, never with its design name.
  EXPECT_EQ(window_->debug_window()->windowTitle(), "调试记录");
}

// Each committed reading refreshes the grid and the chart through the views.
TEST_F(Window, CommittedReadingsReachTheGridAndTheChart) {
  open();
  MeterState& s = program_.state();
  s.reading.Main_Range = "DCV AUTO 5.0000 V";
  s.reading.Main_No = "1.0000";
  for (int i = 0; i < 250; ++i) commit_reading(s, window_.get());
  EXPECT_EQ(test::index_in_row(*window_->data_grid(), 1), 228);
  EXPECT_EQ(test::index_in_row(*window_->data_grid(), 23), 250);
  EXPECT_EQ(window_->data_grid()->scroll_params(), (ScrollParams{250, 23, 250, 1}));
  EXPECT_EQ(window_->trend_chart()->page().bounds, (PageBounds{51, 250}));
  EXPECT_EQ(window_->trend_chart()->scroll_params(), (ScrollParams{250, 200, 250, 1}));

  // Without a meter family the views stay as they are.
  s.model = MeterModel::None;
  commit_reading(s, window_.get());
  EXPECT_EQ(s.log.count(), 251);
  EXPECT_EQ(test::index_in_row(*window_->data_grid(), 23), 250);
}

TEST(DecimalSeparator, ComesFromTheLocale) {
  struct Case {
    QLocale locale;
    const char* separator;
  };
  const Case cases[] = {
      {QLocale::c(), "."},
      {QLocale(QLocale::German, QLocale::Germany), ","},
      {QLocale(QLocale::Chinese, QLocale::China), "."},
      {QLocale(QLocale::French, QLocale::France), ","},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale.name().toStdString());
    EXPECT_EQ(locale_decimal_separator(c.locale), c.separator);
  }
}

}  // namespace
}  // namespace tarvo
