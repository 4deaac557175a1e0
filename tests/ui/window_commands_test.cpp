#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QScatterSeries>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QTableWidget>

#include "alarm.h"
#include "alarm/alarm_watch.h"
#include "analog_readout.h"
#include "chart_marks.h"
#include "data_grid.h"
#include "debug_window.h"
#include "display/status_panel.h"
#include "language_switch.h"
#include "lcd_panel.h"
#include "link/polling_cycle.h"
#include "link/test_frame.h"
#include "main_window.h"
#include "statistics_window.h"
#include "trend_chart.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

using test::named;

class WindowCommands : public ::testing::Test {
 protected:
  WindowCommands() {
    window_ = std::make_unique<TForm1>(program_);
    window_->show();
  }
  void press_test(const QString& text) {
    named<QLineEdit>(*window_, "edt_test")->setText(text);
    named<QPushButton>(*window_, "btn_test")->click();
  }
  // The frame as if the meter had sent it: a reading, not a test frame.
  void meter_reading(const QString& text) {
    MeterState& s = program_.state();
    s.rx.assign(parse_test_text(text.toStdString()));
    ASSERT_TRUE(decode_frame(s));
    commit_reading(s, window_.get());
  }

  Program program_;
  std::unique_ptr<TForm1> window_;
};

// The typed frame goes the way of a received one: log, grid, chart, LCD, readout.
TEST_F(WindowCommands, TestFrameIsLoggedAndShownEverywhere) {
  const MeterState& s = program_.state();
  press_test("A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 ");
  ASSERT_EQ(s.log.count(), 1);
  EXPECT_EQ(s.log[1].Main_Range.view(), "ACV AUTO 5.0000 V");
  EXPECT_EQ(test::index_in_row(*window_->data_grid(), 1), 1);
  EXPECT_EQ(window_->trend_chart()->page().bounds, (PageBounds{1, 1}));
  // A test frame is drawn apart from the line, as a square of its own.
  EXPECT_EQ(window_->trend_chart()->series()->count(), 0);
  EXPECT_EQ(window_->trend_chart()->segments().test_frames()->count(), 1);
  EXPECT_EQ(window_->lcd_panel()->label(LcdLabel::MainNo)->text(), "0.4254");
  EXPECT_EQ(named<QLineEdit>(*window_, "mainno")->text(), "0.4254");
  EXPECT_TRUE(window_->analog_readout()->readout().needle.drawn);

  press_test("a0-00-30-00-00-04-02-05-04-00-00-00-5b-00");
  EXPECT_EQ(s.log.count(), 2);
  EXPECT_EQ(s.log[2].Main_No.view(), "0.4254");
}

// Readings 0.4251 to 0.4254 against a high limit of 0.42525: the two above
// ring the alarm and are coloured in the grid; together they are one
// excursion in the Statistics window. A typed test frame above the limit
// counts nowhere.
TEST_F(WindowCommands, ReadingsOutsideTheLimitsAlarmAndAreCounted) {
  program_.recording().set_limits({{"ACV", "V"}, 0.42525, std::nullopt});
  for (char d = '1'; d <= '4'; ++d) {
    meter_reading(QStringLiteral("A0 00 30 00 00 04 02 05 0%1 00 00 00 5B 00").arg(QChar(d)));
  }
  EXPECT_EQ(window_->alarm()->rings(), 2);
  named<QAction>(*window_, "mni_statistics")->trigger();
  QTableWidget& table = *window_->statistics_window()->table();
  EXPECT_EQ(table.item(1, 2)->text(), "4");       // the whole log's count
  EXPECT_EQ(table.item(2, 2)->text(), "0.4251");  // its minimum
  EXPECT_EQ(table.item(13, 2)->text(), "1");      // one excursion outside the limits
  const DataGrid& grid = *window_->data_grid();
  int coloured = 0;
  for (int row = 1; row < grid.model()->rowCount(); ++row) {
    coloured += grid.model()->index(row, 1).data(Qt::BackgroundRole).isValid() ? 1 : 0;
  }
  EXPECT_EQ(coloured, 2);
  meter_reading("A0 00 30 00 00 04 02 05 09 00 00 00 5B 00");
  EXPECT_EQ(table.item(1, 2)->text(), "5");  // it follows the commits while shown
  EXPECT_EQ(window_->alarm()->rings(), 3);
  press_test("A0 00 30 00 00 04 02 05 08 00 00 00 5B 00");
  ASSERT_TRUE(program_.state().log[6].TestFrame);
  EXPECT_EQ(table.item(1, 2)->text(), "5");
  EXPECT_EQ(table.item(13, 2)->text(), "1");  // the same excursion goes on
  EXPECT_EQ(window_->alarm()->rings(), 3);
  int row = 1;
  while (row < grid.model()->rowCount() && test::index_in_row(grid, row) != 6) ++row;
  const QModelIndex typed = grid.model()->index(row, 2);
  EXPECT_EQ(grid.model()->data(typed, Qt::DisplayRole).toString(), "0.4258");
  EXPECT_EQ(grid.model()->data(typed, Qt::BackgroundRole).value<QColor>(), QColor(205, 218, 240));
  EXPECT_FALSE(grid.model()->data(typed, Qt::ToolTipRole).toString().isEmpty());
}

// Limits set through the dialog judge the readings from then on: those
// before stay plain in the grid, and the Statistics window counts each
// excursion once. A value back under the limit but within the hysteresis
// does not end one: five readings outside make three excursions, not four.
// An excursion shorter than the minimum duration is no alarm: no sound, no
// count, no colour in the grid.
TEST_F(WindowCommands, AShortExcursionIsNoAlarmAndStaysSilent) {
  program_.recording().set_limits({{"ACV", "V"}, 0.42525, std::nullopt}, 0, 3600);
  for (const char d : {'1', '6', '7', '2'}) {
    meter_reading(QStringLiteral("A0 00 30 00 00 04 02 05 0%1 00 00 00 5B 00").arg(QChar(d)));
  }
  EXPECT_EQ(window_->alarm()->rings(), 0);
  EXPECT_EQ(program_.recording().alarms().watch().excursions(), 0);
  const DataGrid& grid = *window_->data_grid();
  const auto coloured = [&grid] {
    int rows = 0;
    for (int row = 1; row < grid.model()->rowCount(); ++row) {
      rows += grid.model()->index(row, 1).data(Qt::BackgroundRole).value<QColor>() ==
              QColor(255, 200, 200);
    }
    return rows;
  };
  EXPECT_EQ(coloured(), 0);
  // Without a minimum duration the same readings sound once each while out.
  program_.recording().set_limits({{"ACV", "V"}, 0.42525, std::nullopt});
  for (const char d : {'6', '7', '2', '8'}) {
    meter_reading(QStringLiteral("A0 00 30 00 00 04 02 05 0%1 00 00 00 5B 00").arg(QChar(d)));
  }
  EXPECT_EQ(window_->alarm()->rings(), 3);
  EXPECT_EQ(program_.recording().alarms().watch().excursions(), 2);
  EXPECT_EQ(coloured(), 3);
}

// The command typed in the Limits dialog runs at the start and the end of
// each alarm, without a shell, even with the sound muted; it is kept for the
// next start with the other actions.
TEST_F(WindowCommands, TheAlarmCommandRunsAtEachAlarmAndIsKept) {
  QTemporaryDir dir;
  const QString calls = dir.filePath("calls");
  const auto reading = [this](char digit) {
    meter_reading(QStringLiteral("A0 00 30 00 00 04 02 05 0%1 00 00 00 5B 00").arg(QChar(digit)));
  };
  reading('1');
  const QString point = QString::fromStdString(program_.state().DecimalSeparator);
  QTimer::singleShot(0, window_.get(), [point, calls] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>("HighLimit")->setText("0" + point + "42525");
    dialog->findChild<QCheckBox*>("MuteAlarm")->setChecked(true);
    dialog->findChild<QCheckBox*>("AlarmsToBroker")->setChecked(false);
    // $TARVO_ALARM is for the shell the command starts, not for one of ours.
    dialog->findChild<QLineEdit*>("AlarmCommand")
        ->setText("sh -c 'echo \"$TARVO_ALARM $TARVO_KIND\" >> \"$0\"' '" + calls + "'");
    dialog->findChild<QDialogButtonBox*>()->buttons().constFirst()->click();
  });
  named<QAction>(*window_, "mni_limits")->trigger();
  for (const char digit : {'6', '7', '1'}) reading(digit);
  const auto said = [&calls] {
    QFile file(calls);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  };
  for (int i = 0; i < 500 && said() != "start high\nend high\n"; ++i) QTest::qWait(20);
  EXPECT_EQ(said(), "start high\nend high\n");
  const UserSettings& kept = program_.settings().current();
  EXPECT_FALSE(kept.actions.to_broker);
  EXPECT_TRUE(kept.actions.notices);
  EXPECT_EQ(kept.actions.command.substr(0, 9), "sh -c 'ec");
}

TEST_F(WindowCommands, LimitsCountExcursionsFromTheMomentTheyWereSet) {
  const auto reading = [this](char digit) {
    meter_reading(QStringLiteral("A0 00 30 00 00 04 02 05 0%1 00 00 00 5B 00").arg(QChar(digit)));
  };
  for (const char digit : {'4', '6', '5'}) reading(digit);  // all above 0.42525
  const QString point = QString::fromStdString(program_.state().DecimalSeparator);
  QTimer::singleShot(0, window_.get(), [point] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QLineEdit*>("HighLimit")->setText("0" + point + "42525");
    dialog->findChild<QLineEdit*>("Hysteresis")->setText("0" + point + "0001");
    dialog->findChild<QCheckBox*>("MuteAlarm")->setChecked(true);
    dialog->findChild<QDialogButtonBox*>()->buttons().constFirst()->click();
  });
  named<QAction>(*window_, "mni_limits")->trigger();
  EXPECT_EQ(program_.recording().alarms().watch().settings().rule.hysteresis, 0.0001);
  // Out, back within the hysteresis, out, back, out, back, out, out, back.
  for (const char digit : {'3', '2', '4', '1', '6', '1', '3', '9', '0'}) reading(digit);
  named<QAction>(*window_, "mni_statistics")->trigger();
  EXPECT_EQ(window_->statistics_window()->table()->item(13, 2)->text(), "3");
  std::vector<std::int64_t> coloured;
  const DataGrid& grid = *window_->data_grid();
  for (int row = 1; row < grid.model()->rowCount(); ++row) {
    const QVariant colour = grid.model()->index(row, 1).data(Qt::BackgroundRole);
    if (colour.isValid() && colour.value<QColor>() == QColor(255, 200, 200)) {
      coloured.push_back(test::index_in_row(grid, row));
    }
  }
  std::sort(coloured.begin(), coloured.end());
  EXPECT_EQ(coloured, (std::vector<std::int64_t>{4, 6, 8, 10, 11}));
  // A new run is judged from its first reading.
  const MeterModel model = program_.state().model;
  window_->Btn_ResetClick();
  program_.state().model = model;  // the same meter, as a new Start finds it
  reading('7');
  EXPECT_TRUE(grid.model()->index(1, 1).data(Qt::BackgroundRole).isValid());
  EXPECT_EQ(test::index_in_row(grid, 1), 1);
}

// The whole log's column of the Statistics window never mixes units: it
// holds the readings of the newest function and unit, and says which.
TEST_F(WindowCommands, WholeLogStatisticsKeepToOneFunctionAndUnit) {
  std::vector<real_Record> records;
  const std::pair<const char*, const char*> readings[] = {{"230.10", "ACV AUTO 500.00 V"},
                                                          {"4.7000", "OHM AUTO 50.000 K\u03A9"},
                                                          {"229.90", "ACV AUTO 500.00 V"},
                                                          {"4.6000", "OHM AUTO 50.000 K\u03A9"},
                                                          {"230.00", "ACV AUTO 500.00 V"}};
  for (const auto& [main_no, range] : readings) {
    real_Record r;
    r.Index = static_cast<std::int64_t>(records.size()) + 1;
    r.Main_No.assign(main_no);
    r.Main_Range.assign(range);
    r.Time.assign("12:00:0" + std::to_string(r.Index));
    records.push_back(r);
  }
  program_.state().log.replace(records);
  window_->log_loaded();
  named<QAction>(*window_, "mni_statistics")->trigger();
  QTableWidget& table = *window_->statistics_window()->table();
  EXPECT_EQ(table.item(0, 2)->text(), "ACV V");
  EXPECT_EQ(table.item(1, 2)->text(), "3");
  EXPECT_EQ(table.item(2, 2)->text(), "229.9");
  EXPECT_EQ(table.item(6, 2)->text(), "230");
}

TEST_F(WindowCommands, TestFrameAfterResetChangesNothing) {
  press_test("A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 ");
  window_->Btn_ResetClick();
  const QString mainno = named<QLineEdit>(*window_, "mainno")->text();
  press_test("A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 ");
  EXPECT_EQ(program_.state().log.count(), 0);
  EXPECT_EQ(test::index_in_row(*window_->data_grid(), 1), 0);
  EXPECT_EQ(named<QLineEdit>(*window_, "mainno")->text(), mainno);
}

TEST_F(WindowCommands, TestFrameCutShortIsRefused) {
  press_test("A0 00 30 00 00 04 02 05 04 00 00 00 5B 0");  // byte 13 becomes 0xFF
  EXPECT_EQ(program_.state().log.count(), 0);
}

// The File menu reaches Save As: with an empty log it warns before any dialog.
TEST_F(WindowCommands, SaveAsItemRunsTheCommand) {
  std::vector<std::pair<MessageKind, std::string>> shown;
  window_->set_message_presenter(
      [&shown](MessageKind kind, const std::string& text) { shown.emplace_back(kind, text); });
  named<QAction>(*window_, "SAVE_AS")->trigger();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].first, MessageKind::Warning);
  EXPECT_EQ(shown[0].second, "\u6CA1\u6709\u6570\u636E!");  // "No Any data !" in Chinese
}

// The debug item only changes the flag; the window is shown at the next Start.
TEST_F(WindowCommands, DebugItemTogglesTheFlagOnly) {
  auto* item = named<QAction>(*window_, "mni_debug");
  const bool before = program_.DebugEnabled;
  item->trigger();
  EXPECT_EQ(program_.DebugEnabled, !before);
  item->trigger();
  EXPECT_EQ(program_.DebugEnabled, before);
  EXPECT_FALSE(window_->debug_window()->isVisible());
}

// Every language item relabels the window's own controls.
TEST_F(WindowCommands, LanguageItemsRelabelTheWindow) {
  struct Case {
    const char* item;
    const char* start;
    const char* save_as;
    const char* max;
  };
  const Case cases[] = {
      {"lan_01", "Start", "&Save file", "MAX"},
      {"lan_02", "开始", "保存", "最大"},
      {"lan_03", "Démarrer", "&Enregistrer le fichier", "MAX"},
      {"lan_04", "Start", "Datei &speichern", "MAX"},
      {"lan_05", "Iniciar", "&Guardar archivo", "MAX"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    named<QAction>(*window_, c.item)->trigger();
    EXPECT_TRUE(named<QAction>(*window_, c.item)->isChecked());
    EXPECT_EQ(named<QPushButton>(*window_, "Btn_Start")->text(), QString::fromUtf8(c.start));
    EXPECT_EQ(named<QAction>(*window_, "SAVE_AS")->text(), QString::fromUtf8(c.save_as));
    EXPECT_EQ(named<QLineEdit>(*window_, "Max_Tilt")->text(), QString::fromUtf8(c.max));
    EXPECT_EQ(cut_captions(window_->language_controls()), QStringList{});
    // The running texts of the status bar's first panel fit it too.
    const auto* panel = named<QLabel>(*window_, "StatusBar1_panel0");
    for (const int text : {kTextSearchingMeter, kTextReadingMeter}) {
      const QString running = QString::fromStdString(program_.state().text(text));
      EXPECT_FALSE(running.isEmpty());
      EXPECT_LE(panel->fontMetrics().horizontalAdvance(running), panel->contentsRect().width())
          << running.toStdString();
    }
  }
}

// Captions keep at least the platform's button margin and frame beside them,
// the value boxes stay wide, and the row ends clear of the window's edge.
TEST_F(WindowCommands, CaptionsKeepThePlatformMargins) {
  const char* buttons[] = {"Btn_Start", "Btn_STOP", "Btn_Reset", "Btn_EXT"};
  const char* titles[] = {"Max_Tilt", "MAX_TIME_tile", "MIN_Tilt", "MIN_TIME_Tilt"};
  const char* values[] = {"MAX_NO", "max_time_no", "MIN_NO", "MIN_TIME_NO"};
  for (const char* item : {"lan_01", "lan_02", "lan_03", "lan_04", "lan_05"}) {
    SCOPED_TRACE(item);
    named<QAction>(*window_, item)->trigger();
    for (const char* name : buttons) {
      const auto* b = named<QPushButton>(*window_, name);
      const QStyle* style = b->style();
      const int margins = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) +
                          2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
      EXPECT_LE(b->fontMetrics().size(Qt::TextShowMnemonic, b->text()).width() + margins,
                b->width())
          << name;
      EXPECT_LE(b->mapTo(window_.get(), QPoint(b->width(), 0)).x(), window_->width() - margins / 2);
    }
    for (const char* name : titles) {
      const auto* t = named<QLineEdit>(*window_, name);
      const QStyle* style = t->style();
      const int margins = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, t) +
                          2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, t) + 4;
      EXPECT_LE(t->fontMetrics().horizontalAdvance(t->text()) + margins, t->width()) << name;
    }
    for (const char* name : values) EXPECT_GE(named<QLineEdit>(*window_, name)->width(), 130);
  }
}

// An excursion is one span of readings, from the first outside the limit to
// the last before the value came back. Acknowledging its notice hushes the
// sound of that excursion only: another key does nothing, and the next
// excursion sounds again.
TEST_F(WindowCommands, ExcursionsAreSpansAndAnAcknowledgementHushesOnlyTheirOwn) {
  std::vector<AlarmEvent> events;
  program_.recording().alarms().watch().add_sink([&](const AlarmEvent& e) { events.push_back(e); });
  program_.recording().set_limits({{"ACV", "V"}, 0.42525, std::nullopt});
  Alarm& alarm = *window_->alarm();
  const struct {
    char digit;
    bool hushed_after;
  } steps[] = {{'1', false}, {'3', false}, {'4', false}, {'5', true},
               {'1', false}, {'2', false}, {'6', false}, {'7', false}};
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    meter_reading(
        QStringLiteral("A0 00 30 00 00 04 02 05 0%1 00 00 00 5B 00").arg(QChar(steps[i].digit)));
    if (i == 2) {  // within the first excursion
      ASSERT_EQ(events.size(), 1u);
      window_->alarm_acknowledged(events.back().key + 100);
      EXPECT_FALSE(alarm.hushed());
      window_->alarm_acknowledged(events.back().key);
    }
    EXPECT_EQ(alarm.hushed(), steps[i].hushed_after || i == 2) << i;
  }
  EXPECT_EQ(window_->excursions().spans(), (std::vector<ReadingSpan>{{2, 4}, {7, 0}}));
  window_->alarm_acknowledged(events.front().key);  // an old excursion's notice
  EXPECT_FALSE(alarm.hushed());
}

}  // namespace
}  // namespace tarvo
