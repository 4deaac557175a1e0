#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "analog_readout.h"
#include "data_grid.h"
#include "demo_meter.h"
#include "files/session_file.h"
#include "i18n/text_numbers.h"
#include "lcd_panel.h"
#include "link/serial_device.h"
#include "main_window.h"
#include "pty_meter.h"
#include "scenario_parser.h"
#include "scenario_player.h"
#include "status_bar.h"
#include "trend_chart.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

using std::chrono::milliseconds;
using test::index_in_row;
using test::named;

// A steady bench meter that sends a frame every 10 ms on a line far faster
// than 2400 baud, so the tests can tick every 50 ms.
constexpr const char* kSteadyMeter = "every 10ms\nDCV AUTO 5.0000 V 1.0000..2.0000 for 1h\n";
constexpr AcquisitionTiming kFast{200, 50};

std::unique_ptr<DemoMeter> fast_meter(const char* scenario) {
  sim::PtyMeterOptions line;
  line.byte_time = std::chrono::microseconds(100);
  return std::make_unique<DemoMeter>(
      sim::ScenarioPlayer(sim::parse_scenario(scenario, MeterModel::ModelTarvo)), line, nullptr);
}

struct Message {
  MessageKind kind;
  std::string text;
};

// Which controls can be used, as the user sees them.
struct Usable {
  bool start, stop, reset, exit, idle_only, always;
  friend bool operator==(const Usable&, const Usable&) = default;
};

std::ostream& operator<<(std::ostream& os, const Usable& u) {
  return os << "start " << u.start << " stop " << u.stop << " reset " << u.reset << " exit "
            << u.exit << " idle_only " << u.idle_only << " always " << u.always;
}

constexpr Usable kIdle{true, false, false, true, true, true};
constexpr Usable kSearching{false, false, false, true, false, true};
constexpr Usable kAcquiring{false, true, false, true, false, true};
constexpr Usable kStopped{true, false, true, true, true, true};

// The real window against a simulated meter on a pseudo-terminal, which is
// the only port Start is given.
class MeterWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    meter_ = fast_meter(kSteadyMeter);
    ports_ = {meter_->device_path()};
    program_.set_port_map_source([this] { return PortMap{ports_, true}; });
    window_ = std::make_unique<TForm1>(program_);
    program_.set_trace_target(&trace_);
    window_->set_timing(kFast);
    window_->set_message_presenter([this](MessageKind kind, const std::string& text) {
      messages_.push_back({kind, text});
    });
    window_->show();
  }

  template <class T>
  T* control(const char* name) const {
    return named<T>(*window_, name);
  }

  // Every control of a group must agree, or the group reads as neither.
  bool group(std::initializer_list<QAction*> actions) const {
    const bool first = (*actions.begin())->isEnabled();
    for (QAction* a : actions) EXPECT_EQ(a->isEnabled(), first) << a->objectName().toStdString();
    return first;
  }

  Usable usable() const {
    const auto menu = [this](const char* name) { return control<QMenu>(name)->menuAction(); };
    return {control<QPushButton>("Btn_Start")->isEnabled(),
            control<QPushButton>("Btn_STOP")->isEnabled(),
            control<QPushButton>("Btn_Reset")->isEnabled(),
            control<QPushButton>("Btn_EXT")->isEnabled(),
            group({menu("mmu_set"), control<QAction>("sys_set"), control<QAction>("MMU_Open")}),
            // Help (the manual, About) is at hand during an acquisition too.
            group({menu("File1"), control<QAction>("SAVE_AS"), menu("mmu_set_lan"),
                   control<QAction>("Exit1"), menu("Help1")})};
  }

  // Presses Start and runs `during` while Start waits for the ports.
  void start(const std::function<void()>& during = {}) {
    if (during) QTimer::singleShot(kFast.listen_ms / 2, window_.get(), during);
    control<QPushButton>("Btn_Start")->click();
  }

  bool wait_for_readings(std::int64_t count) {
    return QTest::qWaitFor([&] { return log().count() >= count; }, 20000);
  }

  QString run_state() const { return window_->status_bar()->panel_text(0); }
  const ReadingLog& log() const { return program_.state().log; }
  DataGrid& grid() const { return *window_->data_grid(); }
  TrendChart& chart() const { return *window_->trend_chart(); }
  bool trace_has(const std::string& tail) const {
    return std::any_of(trace_.lines().begin(), trace_.lines().end(), [&](const std::string& l) {
      return l.size() >= tail.size() && l.compare(l.size() - tail.size(), tail.size(), tail) == 0;
    });
  }

  std::unique_ptr<DemoMeter> meter_;
  std::vector<std::string> ports_;
  Program program_;
  MemoryTrace trace_;
  std::unique_ptr<TForm1> window_;
  std::vector<Message> messages_;
};

TEST_F(MeterWindow, StartFindsTheMeterAndReadingsFlowIn) {
  EXPECT_EQ(usable(), kIdle);
  EXPECT_EQ(run_state(), "STOP");
  QSignalSpy ticks(control<QTimer>("Timer_Show"), &QTimer::timeout);
  Usable while_searching{};
  QString state_while_searching;
  start([&] {
    while_searching = usable();
    state_while_searching = run_state();
  });
  EXPECT_EQ(while_searching, kSearching);
  EXPECT_EQ(state_while_searching, "正在查找...");
  EXPECT_EQ(usable(), kAcquiring);
  EXPECT_EQ(run_state(), "正在读取");
  // Several windows may each have a meter: each names its own port.
  EXPECT_EQ(window_->windowTitle().toStdString(), meter_->device_path() + " \u2014 Tarvo");
  EXPECT_EQ(window_->status_bar()->panel_tip(0).toStdString(), meter_->device_path());
  control<QAction>("lan_04")->trigger();
  EXPECT_EQ(run_state(), "Messung");
  EXPECT_EQ(program_.state().ActivePort, 1);
  EXPECT_EQ(program_.state().model, MeterModel::ModelTarvo);
  EXPECT_TRUE(control<QTimer>("Timer_Show")->isActive());

  ASSERT_TRUE(wait_for_readings(30));
  control<QPushButton>("Btn_STOP")->click();
  // At interval 1 a tick logs at most one reading: the one it found.
  EXPECT_LE(log().count(), ticks.count());
  EXPECT_EQ(usable(), kStopped);
  EXPECT_EQ(run_state(), "STOPP");
  EXPECT_TRUE(trace_has("IS Closed"));
  EXPECT_EQ(program_.state().ActivePort, 0);
  EXPECT_TRUE(messages_.empty());

  // The grid ends with the newest reading; the chart holds the page up to it.
  const std::int64_t count = log().count();
  for (std::int64_t n = 1; n <= count; ++n) ASSERT_EQ(log()[n].Index, n);
  EXPECT_EQ(index_in_row(grid(), 23), count);
  EXPECT_EQ(grid().scroll_params(),
            (ScrollParams{static_cast<int>(count), 23, static_cast<int>(count), 1}));
  EXPECT_EQ(chart().series()->count(), count);
  EXPECT_EQ(chart().page().bounds, (PageBounds{1, count}));
  EXPECT_FALSE(control<QLineEdit>("MAX_NO")->text().isEmpty());
  EXPECT_FALSE(control<QLineEdit>("MIN_TIME_NO")->text().isEmpty());

  // After Stop the log stays and can be scrolled back.
  auto* bar = control<QScrollBar>("scrlbr_Grid1");
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(index_in_row(grid(), 23), count - 1);
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(index_in_row(grid(), 1), 1);
}

TEST_F(MeterWindow, ANewStartBeginsAFreshLog) {
  start();
  ASSERT_TRUE(wait_for_readings(3));
  control<QPushButton>("Btn_STOP")->click();

  std::int64_t count_while_searching = -1;
  int points_while_searching = -1;
  std::int64_t first_row_while_searching = -1;
  start([&] {
    count_while_searching = log().count();
    points_while_searching = static_cast<int>(chart().series()->count());
    first_row_while_searching = index_in_row(grid(), 1);
  });
  EXPECT_EQ(count_while_searching, 0);
  EXPECT_EQ(points_while_searching, 0);
  EXPECT_EQ(first_row_while_searching, 0);
  ASSERT_TRUE(wait_for_readings(1));
  EXPECT_EQ(index_in_row(grid(), 1), 1);
  control<QPushButton>("Btn_STOP")->click();
}

TEST_F(MeterWindow, ResetEmptiesEveryView) {
  start();
  ASSERT_TRUE(wait_for_readings(3));
  control<QPushButton>("Btn_STOP")->click();
  control<QPushButton>("Btn_Reset")->click();

  EXPECT_EQ(log().count(), 0);
  EXPECT_EQ(program_.state().model, MeterModel::None);
  EXPECT_EQ(chart().series()->count(), 0);
  EXPECT_EQ(chart().scroll_params(), (ScrollParams{200, 200, 200, 1}));
  EXPECT_EQ(grid().scroll_params(), (ScrollParams{23, 23, 23, 1}));
  EXPECT_EQ(index_in_row(grid(), 1), 0);
  for (const char* box : {"MAX_NO", "max_time_no", "MIN_NO", "MIN_TIME_NO"}) {
    EXPECT_EQ(control<QLineEdit>(box)->text(), "") << box;
  }
  EXPECT_EQ(usable(), kStopped);  // Reset changes no enabled state
}

TEST_F(MeterWindow, NoMeterFoundWarnsInTheCurrentLanguage) {
  ports_ = {"/dev/tarvo-test-no-such-port"};
  start();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, MessageKind::Warning);
  EXPECT_EQ(messages_[0].text, "没有找到活动的串口!");
  EXPECT_EQ(usable(), kIdle);
  EXPECT_EQ(program_.state().model, MeterModel::None);
  EXPECT_FALSE(control<QTimer>("Timer_Show")->isActive());
  EXPECT_TRUE(trace_has("OPEN FAIL"));
}

// The meter's port held by another program (through our own serial layer, as
// a second Tarvo holds it): the warning names the port on its next line.
TEST_F(MeterWindow, NoMeterFoundNamesTheBusyPort) {
  const auto other = make_system_serial_devices();
  const OpenedDevice holder = other->open(meter_->device_path());
  ASSERT_NE(holder.handle, 0u);
  start();
  other->close(holder.handle);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, MessageKind::Warning);
  EXPECT_EQ(messages_[0].text, "没有找到活动的串口!\n以下串口正被其他程序占用：" +
                                   meter_->device_path() + "。请关闭该程序后重试。");
  EXPECT_EQ(usable(), kIdle);
}

// The meter goes away: no box, the log and the views stay, and three seconds
// later a meter on the same link path is logged on in the same session.
TEST_F(MeterWindow, UnpluggedMeterIsAwaitedAndLoggedOnWhenItIsBack) {
  QTemporaryDir dir;
  const std::filesystem::path link = dir.filePath(QStringLiteral("meter")).toStdString();
  std::filesystem::create_symlink(meter_->device_path(), link);
  ports_ = {link.string()};
  start();
  ASSERT_TRUE(wait_for_readings(2));
  meter_->hang_up();
  meter_.reset();
  // Unplugged, the device is gone: the link points nowhere until the meter is
  // back (its old pseudo-terminal's number may go to another test's meter).
  std::filesystem::remove(link);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return program_.acquisition().state() == AcquisitionState::Waiting; }, 5000));
  const std::int64_t before = log().count();
  EXPECT_EQ(run_state().toStdString(), program_.state().text(kTextWaitingShort));
  EXPECT_EQ(window_->status_bar()->panel_text(1).toStdString(),
            program_.state().text(kTextWaitingForMeter));
  EXPECT_EQ(usable(), kAcquiring);
  // The displays keep the last value, veiled, with the waiting text over the LCD.
  const LcdPanel& lcd = *window_->lcd_panel();
  ASSERT_NE(lcd.veil(), nullptr);
  EXPECT_TRUE(lcd.veil()->isVisible());
  EXPECT_EQ(lcd.veil()->geometry(), lcd.rect());
  EXPECT_EQ(lcd.veil()->text().toStdString(), program_.state().text(kTextWaitingForMeter));
  ASSERT_NE(window_->analog_readout()->veil(), nullptr);
  EXPECT_TRUE(window_->analog_readout()->veil()->isVisible());
  EXPECT_FALSE(control<QLineEdit>("mainno")->isEnabled());
  QTest::qWait(3000);
  EXPECT_EQ(log().count(), before);
  meter_ = fast_meter(kSteadyMeter);
  std::filesystem::create_symlink(meter_->device_path(), link);
  ASSERT_TRUE(wait_for_readings(before + 2));
  EXPECT_EQ(program_.acquisition().state(), AcquisitionState::Acquiring);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(window_->status_bar()->panel_text(1), QString());
  EXPECT_FALSE(lcd.veil()->isVisible());
  EXPECT_FALSE(window_->analog_readout()->veil()->isVisible());
  EXPECT_TRUE(control<QLineEdit>("mainno")->isEnabled());
  for (std::int64_t n = 1; n <= log().count(); ++n) {
    EXPECT_EQ(log()[n].Index, n);
    EXPECT_EQ(log()[n].AfterGap, n == before + 1) << n;
  }
  // The chart draws no line across the gap: two stretches, cut at it.
  const TrendChart& chart = *window_->trend_chart();
  EXPECT_EQ(chart.page().breaks, (std::vector<std::int32_t>{static_cast<std::int32_t>(before)}));
  EXPECT_EQ(chart.segments().stretches().at(0)->count(), before);
  EXPECT_EQ(chart.series()->pen().color(), QColor(Qt::transparent));
  control<QPushButton>("Btn_STOP")->click();
  const auto session = ReadSession(program_.session_keeper().path(), ".");
  ASSERT_TRUE(session.has_value());
  EXPECT_EQ(static_cast<std::int64_t>(session->records.size()), log().count());
  // Opened again, the session marks the same reading.
  EXPECT_TRUE(session->records.at(static_cast<std::size_t>(before)).AfterGap);
  std::vector<SessionEvent> events;
  for (const auto& e : session->events) events.push_back(e.first);
  EXPECT_EQ(events,
            (std::vector{SessionEvent::MeterLost, SessionEvent::MeterBack, SessionEvent::Stopped}));
}

// The disk fills (a file size limit of this process stands in for it) during
// an acquisition and is freed only after Stop: the status bar says so, the
// clock's tick writes every reading and the stopped line once there is room.
TEST_F(MeterWindow, FullDiskIsShownAndCaughtUpAfterStop) {
  start();
  ASSERT_TRUE(wait_for_readings(2));
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  ::getrlimit(RLIMIT_FSIZE, &before);
  rlimit full = before;
  full.rlim_cur = std::filesystem::file_size(program_.session_keeper().path()) + 20;
  ::setrlimit(RLIMIT_FSIZE, &full);
  const std::int64_t held_from = log().count() + 1;
  const bool filled = wait_for_readings(held_from + 1);
  control<QPushButton>("Btn_STOP")->click();
  const auto* side = window_->status_bar()->findChild<QLabel*>("StatusBar1_panel1");
  const QString shown = side->text(), tip = side->toolTip();
  ::setrlimit(RLIMIT_FSIZE, &before);
  ASSERT_TRUE(filled);
  EXPECT_EQ(shown.toStdString(), program_.state().text(kTextSessionNotWritten));
  EXPECT_TRUE(tip.startsWith(QString::number(log().count() - held_from + 1) + " "))
      << tip.toStdString();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return side->text().toStdString() == program_.state().text(kTextSessionWrittenAgain); },
      5000));
  const auto session = ReadSession(program_.session_keeper().path(), ".");
  ASSERT_TRUE(session.has_value());
  ASSERT_EQ(static_cast<std::int64_t>(session->records.size()), log().count());
  for (std::int64_t n = 1; n <= log().count(); ++n) EXPECT_EQ(session->records[n - 1].Index, n);
  EXPECT_EQ(session->state, SessionState::Stopped);
  EXPECT_TRUE(trace_has("Session file written again, every waiting reading is in it: " +
                        program_.session_keeper().path().string()));
}

// The sessions folder removed during an acquisition: the status bar and the
// trace say a new file goes on, and it holds the readings from then on.
TEST_F(MeterWindow, DeletedSessionFolderIsMadeAnewAndShown) {
  start();
  ASSERT_TRUE(wait_for_readings(2));
  const std::filesystem::path file = program_.session_keeper().path();
  std::filesystem::remove_all(program_.session_keeper().folder());
  const std::int64_t before = log().count();
  ASSERT_TRUE(wait_for_readings(before + 2));
  control<QPushButton>("Btn_STOP")->click();
  EXPECT_EQ(window_->status_bar()->panel_text(1).toStdString(),
            program_.state().text(kTextSessionMadeAnew));
  EXPECT_TRUE(trace_has("Session file was deleted; a new one goes on: " + file.string()));
  const auto session = ReadSession(file, ".");
  ASSERT_TRUE(session.has_value());
  ASSERT_FALSE(session->records.empty());
  EXPECT_EQ(session->records.front().Index, before + 1);
  EXPECT_EQ(session->records.back().Index, log().count());
  EXPECT_EQ(session->state, SessionState::Stopped);
}

TEST_F(MeterWindow, ClosingTheWindowClosesThePorts) {
  start();
  ASSERT_TRUE(wait_for_readings(1));
  bool closed = false;
  QObject::connect(window_.get(), &TForm1::closed, [&] { closed = true; });
  trace_.clear();
  window_->close();
  EXPECT_TRUE(closed);
  EXPECT_TRUE(trace_has("IS Closed"));
  EXPECT_FALSE(control<QTimer>("Timer_Show")->isActive());
}

// Closing the window while Start listens closes the ports Start opened, and
// Start gives up instead of probing them.
TEST_F(MeterWindow, ClosingTheWindowDuringTheSearchStopsStart) {
  start([&] { window_->close(); });
  EXPECT_TRUE(trace_has("IS Closed"));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(program_.state().model, MeterModel::None);
  EXPECT_FALSE(control<QTimer>("Timer_Show")->isActive());
}

// The built-in demo of either family, at the pace of the real line, is found
// by Start with its real one-second waits and logs at the real tick.
TEST(DemoMeter, StartFindsTheBuiltInDemoOfEitherFamily) {
  for (const MeterModel family : {MeterModel::ModelTarvo, MeterModel::ModelNoxel}) {
    SCOPED_TRACE(static_cast<int>(family));
    DemoMeter meter(family);
    Program program;
    program.set_port_map_source([&] { return PortMap{{meter.device_path()}, true}; });
    TForm1 window(program);
    window.set_message_presenter([](MessageKind, const std::string& text) { FAIL() << text; });
    window.show();
    window.Btn_StartClick();
    EXPECT_EQ(program.state().model, family);
    EXPECT_EQ(program.state().ActivePort, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return program.state().log.count() >= 1; }, 5000));
    window.Btn_STOPClick();
  }
}

// Exit in the middle of Start ends the program there: nothing is probed, no
// port is closed with a line and nothing is said.
TEST_F(MeterWindow, ExitDuringTheSearchEndsAtOnce) {
  start([&] {
    trace_.clear();
    control<QPushButton>("Btn_EXT")->click();
  });
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(trace_has("IS Closed"));
  EXPECT_EQ(program_.state().model, MeterModel::None);
  EXPECT_FALSE(control<QTimer>("Timer_Show")->isActive());

  // Exit told every event loop to end; one turn of the application's own loop
  // leaves the next test in this process a working one.
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

// The plain window shows its messages in a modal box with one OK button.
TEST_F(MeterWindow, MessagesAreModalBoxesWithOneButton) {
  window_->set_message_presenter({});
  ports_ = {"/dev/tarvo-test-no-such-port"};
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    text = box->text();
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
    box->accept();
  });
  closer.start(20);
  start();
  EXPECT_EQ(text, QString::fromUtf8("没有找到活动的串口!"));
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_EQ(buttons, 1);
}

// Add note, before, during and after an acquisition: each note is kept at the
// newest reading, only the one added while the meter is read reaches the
// session, and the dialog says so beforehand. Blank or cancelled notes are none.
TEST_F(MeterWindow, AddNoteKeepsTheNoteAndWritesItOnlyWhileASessionIs) {
  std::vector<QString> prompts;
  std::optional<QString> answer;
  window_->set_note_asker([&](const QString&, const QString& prompt) {
    prompts.push_back(prompt);
    return answer;
  });
  auto* add_note = control<QAction>("mni_add_note");
  EXPECT_EQ(add_note->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
  const QString not_written = QString::fromStdString(program_.state().text(kTextNoteNotWritten));
  answer = QStringLiteral("before start");
  add_note->trigger();
  EXPECT_EQ(prompts.back(), not_written);

  start();  // a fresh log and no notes
  EXPECT_TRUE(window_->notes().notes().empty());
  ASSERT_TRUE(wait_for_readings(3));
  const struct {
    std::optional<QString> answer;
    bool kept;
  } cases[] = {{std::nullopt, false},
               {QStringLiteral("   "), false},
               {QStringLiteral("  probe moved "), true}};
  std::int64_t at = 0;
  for (const auto& c : cases) {
    answer = c.answer;
    at = log().count();
    add_note->trigger();
    EXPECT_NE(prompts.back(), not_written);
    EXPECT_EQ(window_->notes().notes().size(), c.kept ? 1u : 0u);
  }
  ASSERT_EQ(window_->notes().notes().size(), 1u);
  EXPECT_EQ(window_->notes().notes()[0], (ChartNote{at, "probe moved"}));
  ASSERT_TRUE(wait_for_readings(at + 2));
  control<QPushButton>("Btn_STOP")->click();

  answer = QStringLiteral("after stop");
  add_note->trigger();
  EXPECT_EQ(prompts.back(), not_written);
  EXPECT_EQ(window_->notes().notes().size(), 2u);

  const auto session = ReadSession(program_.session_keeper().path(), ".");
  ASSERT_TRUE(session.has_value());
  std::vector<std::pair<SessionEvent, std::string>> notes;
  for (const auto& e : session->events) {
    if (e.first == SessionEvent::Note) notes.push_back(e);
  }
  EXPECT_EQ(
      notes,
      (std::vector<std::pair<SessionEvent, std::string>>{{SessionEvent::Note, "probe moved"}}));
}

// A level that the meter crosses every four seconds, two below and two above.
constexpr const char* kCrossingMeter =
    "every 10ms\nDCV AUTO 5.0000 V 1.0000 for 2s\nDCV AUTO 5.0000 V 3.0000 for 2s\n";
// Low long enough that the arming, however slow the port search, comes well
// before the first rise: the five readings before it are all held.
constexpr const char* kLateRisingMeter =
    "every 10ms\nDCV AUTO 5.0000 V 1.0000 for 8s\nDCV AUTO 5.0000 V 3.0000 for 2s\n";

StartWhenChoice rule_of(const StartWhenTexts& texts, const MeterState& s) {
  const ParsedStartWhen parsed = parse_start_when(texts, s);
  EXPECT_TRUE(parsed.rule) << parsed.error;
  return {texts, parsed.rule.value_or(GateRule{})};
}

std::vector<SessionEvent> session_events(const std::filesystem::path& file) {
  std::vector<SessionEvent> events;
  const auto session = ReadSession(file, ".");
  EXPECT_TRUE(session.has_value());
  if (session) {
    for (const auto& e : session->events) events.push_back(e.first);
  }
  return events;
}

// Armed, the display follows the meter and the log waits; the crossing logs
// the held readings, then the rest until the stop, which ends the acquisition.
TEST_F(MeterWindow, StartWhenLogsThePretriggerThenStopsByItself) {
  meter_ = fast_meter(kLateRisingMeter);
  ports_ = {meter_->device_path()};
  control<QAction>("lan_01")->trigger();
  window_->set_start_when_asker([this](const StartWhenTexts&) {
    return rule_of({StartChoice::Rises, "2.5", 5, StopChoice::Readings, "8"}, program_.state());
  });
  control<QAction>("mni_start_when")->trigger();
  ASSERT_EQ(program_.acquisition().state(), AcquisitionState::Acquiring);
  PanelStatusBar& bar = *window_->status_bar();
  EXPECT_TRUE(bar.gate_text().startsWith("Armed: the log starts when the value rises above 2.5"));

  bool logged_while_armed = false;
  bool shown_while_armed = false;
  QString armed_text;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        const CommitGate* gate = program_.recording().gate();
        if (gate != nullptr && gate->state() == GateState::Armed) {
          logged_while_armed = logged_while_armed || log().count() > 0;
          if (!program_.state().reading.Main_No.empty()) {
            shown_while_armed = true;
            armed_text = bar.gate_text();  // the unit is the meter's, from its first reading on
          }
        }
        return program_.acquisition().state() == AcquisitionState::Stopped;
      },
      20000));
  EXPECT_FALSE(logged_while_armed);
  EXPECT_TRUE(shown_while_armed);
  EXPECT_EQ(armed_text.toStdString(), "Armed: the log starts when the value rises above 2.5 V");
  EXPECT_EQ(usable(), kStopped);
  EXPECT_EQ(bar.gate_text(), QString());
  ASSERT_EQ(log().count(), 13);
  for (std::int64_t n = 1; n <= 13; ++n) {
    EXPECT_EQ(log()[n].Index, n);
    EXPECT_EQ(log()[n].Main_No.str(), n <= 5 ? "1.0000" : "3.0000") << n;
  }
  EXPECT_EQ(session_events(program_.session_keeper().path()),
            (std::vector{SessionEvent::Armed, SessionEvent::Triggered, SessionEvent::Stopped}));
}

// The status bar says when the log began; Stop ends the recording as always.
TEST_F(MeterWindow, StartWhenShowsTheTriggerUntilStop) {
  meter_ = fast_meter(kCrossingMeter);
  ports_ = {meter_->device_path()};
  control<QAction>("lan_04")->trigger();
  window_->set_start_when_asker([this](const StartWhenTexts&) {
    return rule_of({StartChoice::Falls, "1,5", 0, StopChoice::Never, ""}, program_.state());
  });
  program_.state().DecimalSeparator = ",";
  control<QAction>("mni_start_when")->trigger();
  PanelStatusBar& bar = *window_->status_bar();
  EXPECT_TRUE(
      bar.gate_text().startsWith("Scharf: Die Aufzeichnung beginnt, wenn der Wert unter 1,5"))
      << bar.gate_text().toStdString();
  ASSERT_TRUE(wait_for_readings(3));
  EXPECT_TRUE(bar.gate_text().startsWith("Ausgelöst um ")) << bar.gate_text().toStdString();
  EXPECT_EQ(log()[1].Main_No.str(), "1,0000");
  control<QPushButton>("Btn_STOP")->click();
  EXPECT_EQ(bar.gate_text(), QString());
  EXPECT_EQ(program_.recording().gate(), nullptr);
}

// Stop while armed drops what the gate held; the next Start logs everything.
TEST_F(MeterWindow, StopWhileArmedDisarms) {
  window_->set_start_when_asker([this](const StartWhenTexts&) {
    return rule_of({StartChoice::Rises, "4.5", 100, StopChoice::Never, ""}, program_.state());
  });
  control<QAction>("mni_start_when")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !program_.state().reading.Main_No.empty(); }, 20000));
  QTest::qWait(200);
  EXPECT_EQ(log().count(), 0);
  EXPECT_FALSE(window_->status_bar()->gate_text().isEmpty());
  EXPECT_FALSE(control<QAction>("mni_start_when")->isEnabled());
  control<QPushButton>("Btn_STOP")->click();
  EXPECT_EQ(log().count(), 0);
  EXPECT_EQ(program_.recording().gate(), nullptr);
  EXPECT_TRUE(control<QAction>("mni_start_when")->isEnabled());
  EXPECT_EQ(session_events(program_.session_keeper().path()),
            (std::vector{SessionEvent::Armed, SessionEvent::Stopped}));
  start();
  ASSERT_TRUE(wait_for_readings(3));
  EXPECT_EQ(window_->status_bar()->gate_text(), QString());
}

}  // namespace
}  // namespace tarvo
