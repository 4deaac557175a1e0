#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QInputDialog>
#include <QKeySequence>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "about_box.h"
#include "alarm.h"
#include "analog_readout.h"
#include "anchors.h"
#include "artwork.h"
#include "broker_status.h"
#include "combined_chart_window.h"
#include "control_hints.h"
#include "data_grid.h"
#include "debug_flag.h"
#include "debug_window.h"
#include "design_font.h"
#include "display/caption_row.h"
#include "display/status_panel.h"
#include "files/session_file.h"
#include "files/session_marks.h"
#include "help_manual.h"
#include "i18n/language_table.h"
#include "interval_dialog.h"
#include "language_switch.h"
#include "lcd_panel.h"
#include "limits_dialog.h"
#include "log/local_time.h"
#include "manual_window.h"
#include "overview_window.h"
#include "secret_store.h"
#include "statistics_window.h"
#include "status_bar.h"
#include "trend_chart.h"
#include "view_follower.h"
#include "window_placement.h"

namespace tarvo {
namespace {

constexpr QSize kClientSize{TForm1::kDesignWidth, TForm1::kDesignHeight};
constexpr QSize kPanel1Size{1079, 152};

QLineEdit* box(QWidget* parent, const char* name, const char* text, bool value) {
  auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
  edit->setObjectName(QLatin1String(name));
  edit->setReadOnly(true);
  if (value) {
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setFocusPolicy(Qt::NoFocus);
  }
  return edit;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(QLatin1String(name));
  return b;
}

QAction* menu_item(QMenu* menu, const char* name, const char* caption) {
  auto* action = new QAction(QString::fromUtf8(caption), menu);
  action->setObjectName(QLatin1String(name));
  menu->addAction(action);
  return action;
}

void set_enabled(Enabled state, std::initializer_list<QAction*> actions) {
  if (state == Enabled::Keep) return;
  for (QAction* a : actions) a->setEnabled(state == Enabled::On);
}

}  // namespace

// The program's name last, as the desktop shows it: a title that ends with
// the application's display name is not given it a second time.
QString log_window_title(const std::filesystem::path& file) {
  return QString::fromStdString(file.filename().string()) + QStringLiteral(" \u2014 Tarvo");
}

QString meter_window_title(const std::string& device) {
  return QString::fromStdString(device) + QStringLiteral(" \u2014 Tarvo");
}

std::string locale_decimal_separator(const QLocale& locale) {
  const QString text = locale.toString(1.1);
  return text.size() >= 2 ? text.mid(1, 1).toStdString() : std::string(",");
}

TForm1::TForm1(Program& program, QWidget* parent) : QMainWindow(parent), program_(program) {
  relay_ = std::make_shared<UiThreadRelay>(this);
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("Tarvo"));
  setFont(design_font("Tahoma", 11));
  setWindowIcon(app_icon());

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("TForm1_client"));
  client->setMinimumSize(kClientSize);
  setCentralWidget(client);
  build_panel_chart(client);
  build_window_controls(client);
  readout_->set_mainno(mainno_);
  build_menus();
  build_timers();
  build_shortcuts();
  build_tab_order();
  resize(kClientSize.width(), kClientSize.height() + menuBar()->sizeHint().height());

  MeterState& s = program_.state();
  s.DecimalSeparator = locale_decimal_separator(QLocale());
  grid_->set_decimal_separator(s.DecimalSeparator);
  program_.DebugEnabled =
      program_.DebugEnabled || debug_flag_from_marker(QCoreApplication::applicationDirPath());
  mni_debug_->setChecked(program_.DebugEnabled);
  apply_control_states(AcquisitionState::Idle);

  debug_window_ = new TForm2(this);
  interval_dialog_ = new TForm3(this);
  about_box_ = new TForm5(this);
  secrets_ = new SecretStore(false, this);  // in memory until use_keychain()
  debug_window_->set_meter(s);
  program_.set_trace_target(debug_window_);
  program_.session_keeper().set_notice_sink(
      [this](SessionNotice notice, const std::string& detail) { session_notice(notice, detail); });
}

TForm1::~TForm1() {
  settings_publishing_.reset();  // its panel sits in the status bar
  settings_influx_.reset();
  program_.session_keeper().set_notice_sink({});
  relay_->detach();
  program_.recording().stop_notifying();
  program_.limits().set_alarm({});
  program_.set_trace_target(nullptr);
}

void TForm1::build_panel_chart(QWidget* client) {
  auto* page_control = new QTabWidget(client);
  page_control->setObjectName(QStringLiteral("PageControl1"));
  page_control->setFont(design_font("宋体", 16));
  auto* sheet1 = new QWidget(page_control);
  sheet1->setObjectName(QStringLiteral("TabSheet1"));
  auto* sheet2 = new QWidget(page_control);
  sheet2->setObjectName(QStringLiteral("TabSheet2"));
  page_control->addTab(sheet1, QStringLiteral("Graph"));
  page_control->addTab(sheet2, QStringLiteral("Chart"));
  // It takes no room and nothing uses it: Tab passes it by.
  page_control->setFocusPolicy(Qt::NoFocus);
  page_control->tabBar()->setFocusPolicy(Qt::NoFocus);

  auto* panel_chart = new QFrame(client);
  panel_chart->setObjectName(QStringLiteral("Panel_Chart"));
  panel_chart_ = panel_chart;

  auto* chart_bar = new QScrollBar(Qt::Horizontal, panel_chart);
  auto* grid_bar = new QScrollBar(Qt::Vertical, panel_chart);
  build_panel1(panel_chart);
  // The value boxes in their design order: MAX_NO, max_time_no, MIN_NO, MIN_TIME_NO.
  const ExtremeBoxes boxes{value_boxes_[0], value_boxes_[1], value_boxes_[2], value_boxes_[3]};
  chart_ = new TrendChart(program_.state(), chart_bar, boxes, panel_chart);
  grid_ = new DataGrid(program_.state().log, grid_bar, panel_chart);
  connect(grid_, &DataGrid::record_chosen, this, &TForm1::show_reading);
  follower_ = new ViewFollower(program_.state(), *grid_, *chart_, panel_chart);
  status_bar_ = new PanelStatusBar(panel_chart);
  status_bar_->setObjectName(QStringLiteral("StatusBar1"));
  // The panel, then the scrollbars lie in front of the grid and the bottom of
  // the chart.
  panel1_->raise();
  grid_bar->raise();
  chart_bar->raise();

  auto* in_chart = new AnchoredPlacement(panel_chart, kClientSize);
  in_chart->add(chart_, {1, 0, 668, 395}, kAnchorAll);
  in_chart->add(grid_, {665, 0, 414, 395}, kAnchorTopRightBottom);
  in_chart->add(status_bar_, {1, 547, 1078, 20}, kAnchorLeftRightBottom);
  in_chart->add(panel1_, {1, 396, 1079, 152}, kAnchorLeftRightBottom);
  in_chart->add(grid_bar, {1059, 0, 17, 392}, kAnchorTopRightBottom);
  in_chart->add(chart_bar, {-1, 378, 668, 17}, kAnchorLeftRightBottom);
  connect(in_chart, &AnchoredPlacement::placed, this, &TForm1::FormResize);

  auto* in_client = new AnchoredPlacement(client, kClientSize);
  in_client->add(page_control, {0, 0, kClientSize.width(), 0}, {true, true, true, false});
  in_client->add(panel_chart, {0, 0, kClientSize.width(), kClientSize.height()}, kAnchorAll);
}

void TForm1::build_panel1(QWidget* panel_chart) {
  auto* panel = new QFrame(panel_chart);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel1_ = panel;
  auto* placement = new AnchoredPlacement(panel, kPanel1Size);
  panel1_placement_ = placement;

  struct BoxDesign {
    const char* name;
    const char* text;
    QRect design;
    bool value;
  };
  const BoxDesign boxes[] = {
      {"Max_Tilt", "MAX", {854, 5, 43, 21}, false},
      {"MAX_NO", "", {903, 5, 140, 21}, true},
      {"MAX_TIME_tile", "TIME", {854, 32, 43, 21}, false},
      {"max_time_no", "", {903, 32, 140, 21}, true},
      {"MIN_Tilt", "MIN", {854, 69, 43, 21}, false},
      {"MIN_NO", "", {903, 69, 140, 21}, true},
      {"MIN_TIME_Tilt", "TIME", {854, 96, 43, 21}, false},
      {"MIN_TIME_NO", "", {903, 96, 140, 21}, true},
  };
  std::size_t titles = 0, values = 0;
  for (const BoxDesign& b : boxes) {
    QLineEdit* edit = box(panel, b.name, b.text, b.value);
    placement->add(edit, b.design, kAnchorRightBottom);
    if (!b.value) language_controls_.add(edit);
    (b.value ? value_boxes_[values++] : title_boxes_[titles++]) = edit;
  }

  lcd_ = new LcdPanel(panel);
  placement->add(lcd_, {0, 0, 508, 150}, kAnchorTopLeft);
  readout_ = new AnalogReadout(panel);
  placement->add(readout_, {512, 0, 330, 150}, kAnchorTopLeft);

  btn_start_ = button(panel, "Btn_Start", "Start");
  btn_stop_ = button(panel, "Btn_STOP", "Stop");
  btn_reset_ = button(panel, "Btn_Reset", "Reset");
  btn_ext_ = button(panel, "Btn_EXT", "Exit");
  placement->add(btn_start_, {856, 123, 51, 25}, kAnchorRightBottom);
  placement->add(btn_stop_, {913, 124, 50, 25}, kAnchorRightBottom);
  placement->add(btn_reset_, {969, 124, 50, 25}, kAnchorRightBottom);
  placement->add(btn_ext_, {1025, 124, 50, 25}, kAnchorRightBottom);
  for (QPushButton* b : {btn_start_, btn_stop_, btn_reset_, btn_ext_}) language_controls_.add(b);
  connect(btn_start_, &QPushButton::clicked, this, &TForm1::Btn_StartClick);
  connect(btn_stop_, &QPushButton::clicked, this, &TForm1::Btn_STOPClick);
  connect(btn_reset_, &QPushButton::clicked, this, &TForm1::Btn_ResetClick);
  connect(btn_ext_, &QPushButton::clicked, this, &TForm1::Btn_EXTClick);
}

// mainno, btn_test and edt_test belong to the window and lie in front of the
// panel, over the arc; they move with the panel when the window grows.
void TForm1::build_window_controls(QWidget* client) {
  auto* placement = new AnchoredPlacement(client, kClientSize);
  mainno_ = new QLineEdit(QStringLiteral("0"), client);
  mainno_->setObjectName(QStringLiteral("mainno"));
  mainno_->setFont(design_font("黑体", 16, true));
  mainno_->setAlignment(Qt::AlignCenter);
  connect(mainno_, &QLineEdit::textEdited, mainno_,
          [edit = mainno_](const QString& text) { edit->setText(text.toUpper()); });
  placement->add(mainno_, {642, 502, 70, 27}, kAnchorLeftBottom);

  auto* btn_test = button(client, "btn_test", "btn_test");
  placement->add(btn_test, {760, 516, 75, 25}, kAnchorLeftBottom);
  connect(btn_test, &QPushButton::clicked, this, &TForm1::btn_testClick);
  edt_test_ = new QLineEdit(QStringLiteral("A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 "), client);
  edt_test_->setObjectName(QStringLiteral("edt_test"));
  placement->add(edt_test_, {547, 397, 288, 21}, kAnchorLeftBottom);
}

void TForm1::build_menus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));

  file1_ = bar->addMenu(QStringLiteral("File"));
  file1_->setObjectName(QStringLiteral("File1"));
  mni_start_when_ = menu_item(file1_, "mni_start_when", "Start when...");
  mni_start_when_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
  connect(mni_start_when_, &QAction::triggered, this, &TForm1::mni_start_whenClick);
  mmu_open_ = menu_item(file1_, "MMU_Open", "Open");
  mmu_sessions_ = menu_item(file1_, "mmu_sessions", "Sessions...");
  save_as_ = menu_item(file1_, "SAVE_AS", "Save As");
  mmu_new_window_ = menu_item(file1_, "mmu_new_window", "New window");
  exit1_ = menu_item(file1_, "Exit1", "Exit");
  connect(mmu_new_window_, &QAction::triggered, this, &TForm1::mmu_new_windowClick);
  mmu_open_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  save_as_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  exit1_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exit1_, &QAction::triggered, this, &TForm1::Exit1Click);
  connect(mmu_open_, &QAction::triggered, this,
          [this] { MMU_OpenClick(*this, file_command_env()); });
  connect(save_as_, &QAction::triggered, this, [this] { SAVE_ASClick(*this, file_command_env()); });
  connect(mmu_sessions_, &QAction::triggered, this,
          [this] { mmu_sessionsClick(*this, file_command_env()); });

  // Its items, one per language, come with the language table at the first showing.
  mmu_set_lan_ = bar->addMenu(QStringLiteral("Languages"));
  mmu_set_lan_->setObjectName(QStringLiteral("mmu_set_lan"));

  mmu_set_ = bar->addMenu(QStringLiteral("setting"));
  mmu_set_->setObjectName(QStringLiteral("mmu_set"));
  sys_set_ = menu_item(mmu_set_, "sys_set", "system setting");
  connect(sys_set_, &QAction::triggered, this, &TForm1::sys_setClick);
  QAction* publishing = menu_item(mmu_set_, "mmu_publishing", "Publishing...");
  connect(publishing, &QAction::triggered, this, &TForm1::mmu_publishingClick);
  QAction* reset_settings = menu_item(mmu_set_, "mmu_reset_settings", "Reset settings");
  connect(reset_settings, &QAction::triggered, this, &TForm1::mmu_reset_settingsClick);

  help1_ = bar->addMenu(QStringLiteral("Help"));
  help1_->setObjectName(QStringLiteral("Help1"));
  QAction* help_manual = menu_item(help1_, "mni_Help_M", "帮助主题");
  QAction* about = menu_item(help1_, "mni_Help_About", "关于");
  help_manual->setShortcut(QKeySequence(Qt::Key_F1));
  connect(help_manual, &QAction::triggered, this, &TForm1::mni_Help_MClick);
  connect(about, &QAction::triggered, this, &TForm1::mni_Help_AboutClick);
  mni_debug_ = menu_item(help1_, "mni_debug", "debug");
  build_view_menu(bar);
  mni_debug_->setCheckable(true);
  mni_debug_->setChecked(true);
  connect(mni_debug_, &QAction::triggered, this, &TForm1::mni_debugClick);

  for (QMenu* menu : {file1_, mmu_set_lan_, mmu_set_, help1_}) language_controls_.add(menu);
  for (QAction* item : {mni_start_when_, mmu_open_, mmu_sessions_, save_as_, mmu_new_window_,
                        exit1_, sys_set_, publishing, reset_settings, help_manual, about}) {
    language_controls_.add(item);
  }
}

// View: the statistics, the limits and the overview, usable while the meter
// is read.
void TForm1::build_view_menu(QMenuBar* bar) {
  mmu_view_ = new QMenu(QStringLiteral("View"), bar);
  mmu_view_->setObjectName(QStringLiteral("mmu_view"));
  bar->insertMenu(help1_->menuAction(), mmu_view_);
  QAction* statistics = menu_item(mmu_view_, "mni_statistics", "Statistics...");
  QAction* limits = menu_item(mmu_view_, "mni_limits", "Limits...");
  QAction* overview = menu_item(mmu_view_, "mni_overview", "Trend overview...");
  QAction* combined = menu_item(mmu_view_, "mni_combined", "Combined chart...");
  QAction* add_note = menu_item(mmu_view_, "mni_add_note", "Add note...");
  add_note->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  connect(add_note, &QAction::triggered, this, &TForm1::mni_add_noteClick);
  connect(statistics, &QAction::triggered, this, &TForm1::mni_statisticsClick);
  connect(limits, &QAction::triggered, this, &TForm1::mni_limitsClick);
  connect(overview, &QAction::triggered, this, &TForm1::mni_overviewClick);
  connect(combined, &QAction::triggered, this, &TForm1::mni_combinedClick);
  language_controls_.add(mmu_view_);
  for (QAction* item : {statistics, limits, overview, combined, add_note}) {
    language_controls_.add(item);
  }
  alarm_ = new Alarm(this);
  program_.limits().set_alarm(
      [this](const real_Record& record, LimitBreach) { limit_breached(record); });
  program_.recording().alarms().watch().add_sink(
      [this](const AlarmEvent& event) { follow_excursion(event); });
  chart_->set_marks({&notes_, &program_.limits().limits(), &excursions_});
  grid_->set_mark_tip([this](const real_Record& record) {
    const MeterState& s = program_.state();
    return QString::fromStdString(s.text(record.TestFrame ? kTextTestFrameMark : kTextGapMark));
  });
  // The rows coloured are the readings outside the limits of the excursions
  // that were alarms, as the chart shades them and Statistics counts them:
  // none from before the limits were set, none of an excursion shorter than
  // the minimum duration.
  grid_->set_highlight([this](std::int64_t n, const real_Record& record) {
    const MeterState& s = program_.state();
    return n >= limits_from_ && excursions_.covers(n) &&
           breach_of(program_.limits().limits(), record, s.DecimalSeparator) != LimitBreach::None;
  });
}

void TForm1::mni_statisticsClick() {
  if (statistics_window_ == nullptr) {
    statistics_window_ = new StatisticsWindow(
        program_.state(), program_.statistics(), program_.recording().alarms().watch(),
        [this] { return chart_->page().bounds; }, this);
    place_beside_parent(*statistics_window_);
    apply_control_hints(*statistics_window_, program_.state());
  }
  statistics_window_->show();
  statistics_window_->raise();
}

void TForm1::show_reading(std::int64_t n) {
  follower_->show_reading(n);
}

void TForm1::mni_limitsClick() {
  const AlarmSettings& alarms = program_.recording().alarms().watch().settings();
  const LimitChoice current{program_.limits().limits(),
                            alarms.rule.hysteresis,
                            alarms.rule.min_duration,
                            alarms.stale,
                            alarm_->muted(),
                            alarm_actions_};
  if (auto choice = run_limits_dialog(this, program_.state(), current)) {
    program_.recording().set_limits(choice->limits, choice->hysteresis, choice->min_duration,
                                    choice->stale);
    alarm_->set_muted(choice->muted);
    alarm_actions_ = choice->actions;
    follow_alarm_actions();
    keep_limits();
    grid_->refill_grid();
    refresh_statistics();
    marks_changed();
  }
}

void TForm1::mni_overviewClick() {
  if (overview_window_ == nullptr) {
    overview_window_ = new OverviewWindow(program_.state(), this);
    overview_window_->set_marks({&notes_, &program_.limits().limits(), &excursions_});
    connect(overview_window_, &OverviewWindow::reading_chosen, this, &TForm1::show_reading);
    place_beside_parent(*overview_window_);
    apply_control_hints(*overview_window_, program_.state());
  }
  overview_window_->show();
  overview_window_->raise();
}

void TForm1::mni_combinedClick() {
  if (combined_window_ == nullptr) {
    combined_window_ =
        new CombinedChartWindow(program_.state(), program_.session_keeper().folder(), this);
    place_beside_parent(*combined_window_);
    apply_control_hints(*combined_window_, program_.state());
  }
  combined_window_->show();
  combined_window_->raise();
}

void TForm1::mni_add_noteClick() {
  const MeterState& s = program_.state();
  // The keeper writes only while the meter is read; the user must know when
  // a note will not outlive the window.
  const bool written = s.ActivePort != 0 && !program_.session_keeper().path().empty();
  const QString prompt =
      QString::fromStdString(s.text(written ? kTextNotePrompt : kTextNoteNotWritten));
  const QString title = QString::fromStdString(s.text(kTextNoteTitle));
  std::optional<QString> text;
  if (ask_note_) {
    text = ask_note_(title, prompt);
  } else {
    bool ok = false;
    const QString typed = QInputDialog::getText(this, title, prompt, QLineEdit::Normal, {}, &ok);
    if (ok) text = typed;
  }
  if (!text || text->trimmed().isEmpty()) return;
  const std::string note = text->trimmed().toStdString();
  notes_.add(s.log.count(), note);
  if (written) program_.session_keeper().event(SessionEvent::Note, {note});
  marks_changed();
}

void TForm1::show_log_marks(const SessionMarks& marks) {
  notes_.clear();
  for (const ReadingNote& note : marks.notes) notes_.add(note.reading, note.text);
  excursions_.clear();
  for (const ReadingExcursion& excursion : marks.excursions) {
    excursions_.start(excursion.first);
    if (excursion.last != 0) excursions_.end(excursion.last + 1);
  }
  marks_changed();
}

void TForm1::marks_changed() {
  chart_->viewport()->update();
  if (overview_window_ != nullptr) overview_window_->marks_changed();
}

void TForm1::follow_excursion(const AlarmEvent& event) {
  if (event.kind == "stale") return;
  const ReadingLog& log = program_.state().log;
  if (!event.start) {
    if (event.key == excursion_key_) {
      excursion_key_ = 0;
      alarm_->set_hushed(false);
    }
    excursions_.end(log.count());
    marks_changed();
    return;
  }
  // The alarm starts once the excursion lasted its minimum duration: its
  // first reading is further back, after the last one inside the limits.
  const Limits& limits = program_.limits().limits();
  const std::string& separator = program_.state().DecimalSeparator;
  std::int64_t earliest = std::max<std::int64_t>(limits_from_, 1);
  if (!excursions_.spans().empty())
    earliest = std::max(earliest, excursions_.spans().back().last + 1);
  std::int64_t first = log.count();
  while (first > earliest && breach_of(limits, log[first - 1], separator) != LimitBreach::None) {
    --first;
  }
  excursions_.start(first);
  excursion_key_ = event.key;
  alarm_->set_hushed(false);
  marks_changed();
  if (log.count() > 0) ring_for(log[log.count()]);  // the reading that made it an alarm
}

void TForm1::follow_alarm_actions() {
  limits_from_ = program_.state().log.count() + 1;
  Recording& recording = program_.recording();
  recording.publish_alarms(alarm_actions_.to_broker);
  follow_alarm_command();
  if (alarm_->muted() || !alarm_actions_.notices || !recording.alarms().watch().settings().any()) {
    recording.stop_notifying();
    return;
  }
  // Both are heard on the notifier's thread.
  std::shared_ptr<UiThreadRelay> relay = relay_;
  recording.notify_on_alarm(
      [this, relay](const std::string& report) {
        relay->post([this, report] { program_.ports().trace().note(report); });
      },
      [this, relay](std::uint64_t key) { relay->post([this, key] { alarm_acknowledged(key); }); });
}

// The user's command runs at each alarm whether the sound is muted or not:
// it is no noise. It is made again only when it changed, as a command that
// runs is waited for.
void TForm1::follow_alarm_command() {
  if (alarm_actions_.command == running_command_) return;
  Recording& recording = program_.recording();
  recording.stop_running_on_alarm();
  running_command_ = alarm_actions_.command;
  std::vector<std::string> argv =
      split_command(running_command_).value_or(std::vector<std::string>{});
  if (argv.empty()) return;
  std::shared_ptr<UiThreadRelay> relay = relay_;
  recording.run_on_alarm(std::move(argv), kAlarmCommandLimit,
                         [this, relay](const std::string& report) {
                           relay->post([this, report] { program_.ports().trace().note(report); });
                         });
}

void TForm1::alarm_acknowledged(std::uint64_t key) {
  if (key != 0 && key == excursion_key_) alarm_->set_hushed(true);
}

void TForm1::refresh_statistics() {
  if (statistics_window_ != nullptr) statistics_window_->refresh();
}

// Each reading outside the limits sounds while its excursion is an alarm: a
// short one (under the minimum duration) stays silent, as it is no alarm in
// the session, the notices or the Statistics count either. The alarm's start
// comes after the reading's breach and sounds for it.
void TForm1::limit_breached(const real_Record& record) {
  if (excursion_key_ != 0) ring_for(record);
}

void TForm1::ring_for(const real_Record& record) {
  const MeterState& s = program_.state();
  const QString what = QString::fromStdString(record.Main_No.str() + " " + run_key_of(record).unit);
  alarm_->ring(QString::fromStdString(s.text(kTextOutsideLimitsNote))
                   .arg(QString::number(record.Index), what.trimmed()));
}

void TForm1::build_timers() {
  timer_sys_ = new QTimer(this);
  timer_sys_->setObjectName(QStringLiteral("Timer_sys"));
  timer_sys_->setInterval(1000);
  connect(timer_sys_, &QTimer::timeout, this, &TForm1::Timer_sysTimer);
  timer_sys_->start();

  timer_show_ = new QTimer(this);
  timer_show_->setObjectName(QStringLiteral("Timer_Show"));
  timer_show_->setInterval(timing_.tick_ms);
  connect(timer_show_, &QTimer::timeout, this, &TForm1::Timer_ShowTimer);
}

// Start and Stop from the keyboard; a button's caption carries only its
// mnemonic, so the keys live on actions of their own. A disabled button
// ignores the click, as it ignores the mouse.
void TForm1::build_shortcuts() {
  const auto key_for = [this](const char* name, QKeySequence key, QPushButton* target) {
    auto* action = new QAction(this);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    addAction(action);
    connect(action, &QAction::triggered, target, &QPushButton::click);
  };
  key_for("key_start", QKeySequence(Qt::Key_F5), btn_start_);
  key_for("key_stop", QKeySequence(Qt::Key_F6), btn_stop_);
}

// Tab goes from the views to the buttons, then to the values and the typed
// frame. The title boxes only name the value boxes beside them.
void TForm1::build_tab_order() {
  chart_->setFocusPolicy(Qt::StrongFocus);
  grid_->setFocusPolicy(Qt::StrongFocus);
  grid_->setTabKeyNavigation(false);  // the arrow keys move in it; Tab leaves it
  for (QLineEdit* title : title_boxes_) title->setFocusPolicy(Qt::NoFocus);
  for (QLineEdit* value : value_boxes_) value->setFocusPolicy(Qt::StrongFocus);
  QWidget* btn_test = findChild<QPushButton*>(QStringLiteral("btn_test"));
  QWidget* const order[] = {chart_,          grid_,           btn_start_,      btn_stop_,
                            btn_reset_,      btn_ext_,        value_boxes_[0], value_boxes_[1],
                            value_boxes_[2], value_boxes_[3], mainno_,         edt_test_,
                            btn_test};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

// Tooltips and spoken names of this window and of the windows it owns.
void TForm1::apply_hints() {
  apply_control_hints(*this, program_.state());
}

void TForm1::show_log_name(const std::filesystem::path& file) {
  setWindowTitle(log_window_title(file));
}

void TForm1::set_timing(AcquisitionTiming timing) {
  timing_ = timing;
  timer_show_->setInterval(timing_.tick_ms);
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  restore_main_place();
  FormShow();
}

void TForm1::FormShow() {
  MeterState& s = program_.state();
  s.model = kDefaultFamily;
  reset_lcd(kDefaultFamily);
  s.log.reset_log_counters();
  grid_->layout_grid();
  program_.ports().mark_all_closed();
  InitLanguageMenu(*mmu_set_lan_, language_controls_, s);
  for (QAction* item : mmu_set_lan_->actions()) {
    connect(item, &QAction::triggered, this, [this] {  // after the switch
      keep_language();
      fit_panel_captions();
      show_run_state(program_.acquisition().state());
      show_side_panel();
      show_interval_panel();
      if (statistics_window_ != nullptr) statistics_window_->retranslate();
      if (overview_window_ != nullptr) overview_window_->retranslate();
      if (combined_window_ != nullptr) combined_window_->retranslate();
      follower_->retranslate();
      debug_window_->retranslate();
      apply_hints();
    });
  }
  restore_settings();  // the interval, the limits and the language as they were left
  apply_hints();
  fit_panel_captions();
  show_run_state(program_.acquisition().state());
  show_interval_panel();
  // Once the main window is on screen, or the main window would cover it.
  if (program_.DebugEnabled) QTimer::singleShot(0, debug_window_, &TForm2::show_trace);
}

void TForm1::FormResize() {
  follower_->lay_out_grid();
}

void TForm1::apply_control_states(AcquisitionState state) {
  apply_control_states(control_event(state));
  show_run_state(state);
}

void TForm1::log_loaded() {
  // The file's readings were taken before, under limits of their own or none.
  limits_from_ = program_.state().log.count() + 1;
  apply_control_states(ControlEvent::LogLoaded);
  follower_->views_reset();
  refresh_statistics();
  if (overview_window_ != nullptr) overview_window_->rebuild();
}

void TForm1::apply_control_states(ControlEvent event) {
  const ControlStates& c = control_states(event);
  const auto set = [](Enabled e, QWidget* w) {
    if (e != Enabled::Keep) w->setEnabled(e == Enabled::On);
  };
  set(c.start, btn_start_);
  set_enabled(c.start, {mni_start_when_});
  set(c.stop, btn_stop_);
  set(c.reset, btn_reset_);
  set(c.exit, btn_ext_);
  set_enabled(c.idle_only, {mmu_set_->menuAction(), sys_set_, mmu_open_, mmu_sessions_});
  // Help reads nothing of the acquisition: the manual and About stay at hand.
  set_enabled(c.always, {file1_->menuAction(), save_as_, mmu_new_window_,
                         mmu_set_lan_->menuAction(), exit1_, help1_->menuAction()});
}

void TForm1::show_run_state(AcquisitionState state) {
  const MeterState& s = program_.state();
  status_bar_->set_panel_text(
      PanelStatusBar::kRunStatePanel,
      QString::fromStdString(run_state_text(run_state(state), s.languages, s.LanguageBase)));
  // The panel is as wide as its longest state: the port goes into its tip.
  const bool has_meter = state == AcquisitionState::Acquiring || state == AcquisitionState::Waiting;
  status_bar_->set_panel_tip(PanelStatusBar::kRunStatePanel,
                             has_meter ? QString::fromStdString(meter_device_) : QString());
  show_side_panel();
  // While the meter is away the displays keep its last value, veiled.
  const bool waiting = state == AcquisitionState::Waiting;
  lcd_->set_waiting(waiting, QString::fromStdString(s.text(kTextWaitingForMeter)));
  readout_->set_waiting(waiting);
}

// Panel 1: that the meter is awaited, else that the session file is not
// written (the reason and the readings waiting in its tip), else that it was
// written again or made anew during this acquisition, else nothing.
void TForm1::show_side_panel() {
  const MeterState& s = program_.state();
  const SessionKeeper& sessions = program_.session_keeper();
  QString text, tip;
  if (sessions.failed()) {
    tip = QString::fromStdString(s.text(kTextSessionWaitingTip))
              .arg(QString::number(sessions.waiting_readings()),
                   QString::fromStdString(session_failure_));
  }
  if (program_.acquisition().state() == AcquisitionState::Waiting) {
    text = QString::fromStdString(s.text(kTextWaitingForMeter));
  } else if (sessions.failed()) {
    text = QString::fromStdString(s.text(kTextSessionNotWritten));
  } else if (session_note_ != 0) {
    text = QString::fromStdString(s.text(session_note_));
    tip = session_note_tip_;
  }
  status_bar_->set_panel_text(PanelStatusBar::kSidePanel, text);
  status_bar_->set_panel_tip(PanelStatusBar::kSidePanel, tip);
  show_gate();
}

void TForm1::show_gate() {
  const CommitGate* gate = program_.recording().gate();
  const std::string text = gate == nullptr ? std::string()
                                           : gate_status_text(gate->rule(), gate->state(),
                                                              triggered_at_, program_.state());
  status_bar_->set_gate_text(QString::fromStdString(text));
}

void TForm1::session_notice(SessionNotice notice, const std::string& detail) {
  PortTrace& trace = program_.ports().trace();
  const MeterState& s = program_.state();
  const QString when = QString::fromStdString(format_hhnnss(now_local()));
  trace.note(session_notice_trace(notice, detail));
  switch (notice) {
    case SessionNotice::NotWritten:
      session_failure_ = detail;
      break;
    case SessionNotice::WrittenAgain:
      session_note_ = kTextSessionWrittenAgain;
      session_note_tip_ = QString::fromStdString(s.text(kTextSessionWrittenAgainTip))
                              .arg(when, QString::fromStdString(detail));
      break;
    case SessionNotice::MadeAnew:
      session_note_ = kTextSessionMadeAnew;
      session_note_tip_ = QString::fromStdString(s.text(kTextSessionMadeAnewTip))
                              .arg(when, QString::fromStdString(detail));
      break;
    case SessionNotice::OverLimit:
      break;
  }
  show_side_panel();
}

// Titles and buttons keep their design places while their captions fit; a
// longer caption widens its control (the values and the row give way), and
// only what still does not fit gets a smaller font.
void TForm1::fit_panel_captions() {
  constexpr int kColumnGap = 6, kNarrowestValue = 84, kTitleDesignWidth = 43;
  const QRect first_title = panel1_placement_->design_of(title_boxes_[0]);
  const QRect first_value = panel1_placement_->design_of(value_boxes_[0]);
  int widest = 0;
  for (QLineEdit* title : title_boxes_) widest = std::max(widest, caption_width_needed(*title));
  const ColumnSplit split =
      split_title_column(first_title.left(), first_value.left() + first_value.width(), kColumnGap,
                         kTitleDesignWidth, widest, kNarrowestValue);
  // Values pushed right by wider titles keep their design width as far as the
  // panel's right edge lets them.
  constexpr int kButtonGap = 6, kButtonsRight = 1075, kButtonsLeftLimit = 846;
  const int value_width =
      std::max(split.value_width, std::min(first_value.width(), kButtonsRight - split.value_left));
  for (std::size_t i = 0; i < title_boxes_.size(); ++i) {
    const int top = panel1_placement_->design_of(title_boxes_[i]).top();
    panel1_placement_->redesign(title_boxes_[i], {first_title.left(), top, split.title_width, 21});
    panel1_placement_->redesign(value_boxes_[i], {split.value_left, top, value_width, 21});
  }

  const std::array<QPushButton*, 4> buttons{btn_start_, btn_stop_, btn_reset_, btn_ext_};
  constexpr std::array<int, 4> kDesignWidths{51, 50, 50, 50};
  std::vector<CaptionSlot> captions;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    captions.push_back({kDesignWidths[i], caption_width_needed(*buttons[i])});
  }
  if (const auto row = place_caption_row(captions, kButtonsRight, kButtonsLeftLimit, kButtonGap)) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      const QRect design = panel1_placement_->design_of(buttons[i]);
      panel1_placement_->redesign(buttons[i], {row->left[i], design.top(), row->width[i], 25});
    }
  }
  panel1_placement_->place();
  for (QWidget* control : title_boxes_) fit_caption(*control);
  for (QWidget* control : buttons) fit_caption(*control);
}

void TForm1::refresh_grid() {
  follower_->refresh_grid();
}

void TForm1::update_chart(std::int32_t count, ChartDirection direction) {
  follower_->update_chart(count, static_cast<PageDirection>(direction));
}

void TForm1::update_lcd() {
  const MeterState& s = program_.state();
  lcd_->show_reading(s.reading, s.DecimalSeparator);
  // The level is told in the unit the meter shows, known from its readings.
  const CommitGate* gate = program_.recording().gate();
  if (gate != nullptr && gate->state() == GateState::Armed) show_gate();
}

void TForm1::update_readout() {
  const MeterState& s = program_.state();
  readout_->show_reading(s.reading, s.DecimalSeparator);
  refresh_statistics();  // the last of a commit's views, after the chart's page moved
}

void TForm1::reset_lcd(MeterModel previous) {
  readout_->reset(previous);
  lcd_->reset(previous);
}

FileCommandEnv TForm1::file_command_env() {
  FileCommandEnv env = dialog_env(this);
  env.message = [this](MessageKind kind, const std::string& text) { message(kind, text); };
  return env;
}

void TForm1::message(MessageKind kind, const std::string& text) {
  if (present_) {
    present_(kind, text);
  } else {
    show_message_box(this, kind, text);
  }
}

void TForm1::wait_with_messages(int ms) {
  QCoreApplication::processEvents();
  if (abandoned_) return;
  QEventLoop loop;
  QTimer::singleShot(std::max(ms, 0), Qt::PreciseTimer, &loop, &QEventLoop::quit);
  waiting_ = &loop;
  loop.exec();
  waiting_ = nullptr;
}

void TForm1::Btn_StartClick() {
  Acquisition& acquisition = program_.acquisition();
  if (acquisition.state() == AcquisitionState::Searching) return;
  if (program_.DebugEnabled) debug_window_->show_trace();
  apply_publishing_settings();
  program_.recording().disarm();  // a plain Start logs every reading
  show_gate();
  apply_control_states(AcquisitionState::Searching);
  timer_show_->stop();
  session_note_ = 0;
  switch (acquisition.start(program_.port_map(), *this)) {
    case StartOutcome::Abandoned:
      return;
    case StartOutcome::NoMeter:
      no_port_found();
      return;
    case StartOutcome::Acquiring:
      break;
  }
  meter_device_ = program_.ports().device(program_.state().ActivePort);
  setWindowTitle(meter_window_title(meter_device_));
  apply_control_states(AcquisitionState::Acquiring);
  timer_show_->start();
}

bool TForm1::wait_listening() {
  wait_with_messages(timing_.listen_ms);
  return !abandoned();
}

void TForm1::start_reset(MeterModel previous) {
  reset_views(previous);
  repaint();
}

void TForm1::no_port_found() {
  apply_control_states(AcquisitionState::NoMeter);
  chart_->clear_series();
  message(MessageKind::Warning,
          no_meter_message(program_.state(), program_.acquisition().refusals()));
}

void TForm1::Btn_STOPClick() {
  timer_show_->stop();
  program_.acquisition().stop();
  program_.recording().disarm();  // what the gate still held is not logged
  show_gate();
  apply_control_states(AcquisitionState::Stopped);
}

// Start, then the readings wait at the gate: the display follows the meter
// while the log waits for the condition.
void TForm1::mni_start_whenClick() {
  if (!btn_start_->isEnabled()) return;
  const std::optional<StartWhenChoice> choice =
      ask_start_when_ ? ask_start_when_(start_when_last_)
                      : run_start_when_dialog(this, program_.state(), start_when_last_);
  if (!choice) return;
  start_when_last_ = choice->texts;
  Btn_StartClick();
  const AcquisitionState state = program_.acquisition().state();
  if (state != AcquisitionState::Acquiring && state != AcquisitionState::Waiting) return;
  triggered_at_.clear();
  program_.recording().arm(choice->rule, [this] {
    triggered_at_ = format_hhnnss(now_local());
    show_gate();
  });
  show_gate();
}

bool TForm1::stop_at_gate_end() {
  if (!program_.recording().gate_done()) return false;
  Btn_STOPClick();
  return true;
}

void TForm1::Btn_ResetClick() {
  program_.session_keeper().forget();
  reset_views(program_.acquisition().reset());
}

void TForm1::mmu_new_windowClick() {
  const QString program = QCoreApplication::applicationFilePath();
  if (!QProcess::startDetached(program, {})) {
    program_.ports().trace().note("A new window could not be started: " + program.toStdString());
  }
}

void TForm1::reset_views(MeterModel previous) {
  meter_device_.clear();
  setWindowTitle(QStringLiteral("Tarvo"));
  notes_.clear();
  excursions_.clear();
  limits_from_ = 1;  // the limits in force judge the new log from its first reading
  chart_->reset_chart();
  grid_->reset_grid();
  follower_->views_reset();
  reset_lcd(previous);
  refresh_statistics();
  if (overview_window_ != nullptr) overview_window_->rebuild();
}

void TForm1::Timer_ShowTimer() {
  switch (program_.acquisition().tick(this, now_local)) {
    case TickOutcome::MeterLost:
      meter_lost();
      break;
    case TickOutcome::LostWaiting:
    case TickOutcome::MeterBack:
      show_run_state(program_.acquisition().state());
      break;
    case TickOutcome::Running:
      stop_at_gate_end();
      break;
    case TickOutcome::NotAcquiring:
    case TickOutcome::Waiting:
      break;
  }
}

// The acquisition has already ended as Stop ends it.
void TForm1::meter_lost() {
  timer_show_->stop();
  program_.recording().disarm();
  show_gate();
  apply_control_states(AcquisitionState::Stopped);
  message(MessageKind::Warning, program_.state().text(kTextMeterDisconnected));
}

// The clock, and the session lines that wait for the disk: they go on being
// tried after Stop, so the stopped and saved lines land too.
void TForm1::Timer_sysTimer() {
  status_bar_->set_panel_text(PanelStatusBar::kClockPanel,
                              QString::fromStdString(format_date_time(now_local())));
  program_.recording().tick(now_local());
  SessionKeeper& sessions = program_.session_keeper();
  if (!sessions.failed()) return;
  sessions.tick();
  show_side_panel();
}

// The typed frame takes the path of a received one; a frame the active family
// does not accept changes nothing.
void TForm1::btn_testClick() {
  inject_test_frame(program_.state(), program_.ports(), this, edt_test_->text().toStdString(),
                    now_local());
}

void TForm1::sys_setClick() {
  if (auto text = run_interval_dialog(*interval_dialog_, program_.state())) {
    interval_chosen_ = true;
    keep_interval();
    status_bar_->set_panel_text(PanelStatusBar::kIntervalPanel, *text);
  }
}

void TForm1::show_interval_panel() {
  const MeterState& s = program_.state();
  status_bar_->set_panel_text(PanelStatusBar::kIntervalPanel,
                              interval_chosen_
                                  ? interval_text(s, static_cast<int>(s.RecordInterval))
                                  : QString::fromStdString(s.text(kTextNoIntervalChosen)));
}

// Without the PDF, or when the desktop cannot open it, the manual comes up in
// a window of our own: never a message box, and never nothing.
void TForm1::mni_Help_MClick() {
  if (open_manual(QCoreApplication::applicationDirPath())) return;
  if (manual_window_ == nullptr) manual_window_ = new ManualWindow(this);
  manual_window_->show_manual(QString::fromStdString(program_.state().text(kTextHelpManual)));
}

void TForm1::mni_Help_AboutClick() {
  show_about_box(*about_box_, program_.state());
}

// Takes effect at the next Start; the debug window stays as it is.
void TForm1::mni_debugClick() {
  program_.DebugEnabled = mni_debug_->isChecked();
}

void TForm1::Btn_EXTClick() {
  end_program_now();
}

void TForm1::Exit1Click() {
  end_program_now();
}

// Exit ends the program without the close handling: the system releases the
// ports, and no close line is written.
void TForm1::end_program_now() {
  abandoned_ = true;
  keep_places();
  program_.session_keeper().acquisition_stopped();  // the session ended on purpose, not by a crash
  timer_show_->stop();
  timer_sys_->stop();
  if (waiting_ != nullptr) waiting_->quit();
  QCoreApplication::exit(0);
}

void TForm1::closeEvent(QCloseEvent* event) {
  abandoned_ = true;
  keep_places();
  program_.session_keeper().acquisition_stopped();
  timer_show_->stop();
  if (waiting_ != nullptr) waiting_->quit();
  program_.acquisition().close_all_ports();
  QMainWindow::closeEvent(event);
  emit closed();
}

}  // namespace tarvo
