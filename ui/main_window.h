#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "chart_marks.h"
#include "control_states.h"
#include "file_commands.h"
#include "files/user_settings.h"
#include "language_switch.h"
#include "link/acquisition.h"
#include "link/polling_cycle.h"
#include "message_box.h"
#include "note_list.h"
#include "program.h"
#include "start_when_dialog.h"
#include "ui_thread_relay.h"

class QAction;
class QLocale;
class QEventLoop;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;

namespace tarvo {

struct SessionMarks;

class Alarm;
class OverviewWindow;
class CombinedChartWindow;
class StatisticsWindow;

class AnalogReadout;
class AnchoredPlacement;
class DataGrid;
class LcdPanel;
class ManualWindow;
class PanelStatusBar;
class SecretStore;
class WindowPublishing;
class WindowInflux;
class TForm2;
class TForm3;
class TForm5;
class TrendChart;
class ViewFollower;

// How long Start lets the ports listen, and the period of the polling cycle.
struct AcquisitionTiming {
  int listen_ms = 1000;  // each of Start's two waits
  int tick_ms = 1000;    // Timer_Show
};

// The main window: the chart, the grid, the panel with the meter's displays,
// the extreme boxes and the Start/Stop/Reset/Exit buttons, the menus and the
// status bar. It is the views of the polling cycle.
class TForm1 : public QMainWindow, public ReadingViews, private StartDriver {
  Q_OBJECT

 public:
  using MessagePresenter = std::function<void(MessageKind, const std::string&)>;
  // Asks for a note's text with the prompt given; nullopt when cancelled.
  using NoteAsker =
      std::function<std::optional<QString>(const QString& title, const QString& prompt)>;

  // Asks for the condition of a conditional Start; nullopt when cancelled.
  using StartWhenAsker = std::function<std::optional<StartWhenChoice>(const StartWhenTexts& last)>;

  static constexpr int kDesignWidth = 1080;  // client area
  static constexpr int kDesignHeight = 568;

  explicit TForm1(Program& program, QWidget* parent = nullptr);
  ~TForm1() override;

  // The polling cycle's views.
  void refresh_grid() override;
  void update_chart(std::int32_t count, ChartDirection direction) override;
  // The LCD replica lights the annunciators of the newest reading here.
  void update_lcd() override;
  // The main readout and the analog needle follow the newest reading here.
  void update_readout() override;
  // Reset returns the LCD replica and the arc to their first look here; the
  // replica is re-initialised only after a bench-family acquisition.
  void reset_lcd(MeterModel previous);

  void wait_with_messages(int ms);
  // Replaces the modal message box, for tests.
  void set_message_presenter(MessagePresenter presenter) { present_ = std::move(presenter); }
  // Replaces the note dialog, for tests.
  void set_note_asker(NoteAsker asker) { ask_note_ = std::move(asker); }
  // Replaces the Start when dialog, for tests.
  void set_start_when_asker(StartWhenAsker asker) { ask_start_when_ = std::move(asker); }
  // The notes added since the log in the views began.
  const NoteList& notes() const { return notes_; }
  // The notes and excursions of a log just read (none for a text log) in
  // place of those of the log before.
  void show_log_marks(const SessionMarks& marks);
  // The excursions outside the limits among the readings in the views.
  const ExcursionSpans& excursions() const { return excursions_; }
  // The user acknowledged the notice of the alarm with this key: the sound
  // stops until that excursion ends.
  void alarm_acknowledged(std::uint64_t key);
  void set_timing(AcquisitionTiming timing);

  Program& program() { return program_; }
  DataGrid* data_grid() const { return grid_; }
  TrendChart* trend_chart() const { return chart_; }
  // Whether the grid and the chart follow the newest reading or hold.
  ViewFollower* follower() const { return follower_; }
  // The polling cycle's timer, which long file work holds.
  QTimer* tick_timer() const { return timer_show_; }
  // A log opened from a file is in the views: Reset may empty it.
  void log_loaded();
  // The log in the views is the one in file (opened or saved there): the
  // title names it until Start or Reset empties the log.
  void show_log_name(const std::filesystem::path& file);
  PanelStatusBar* status_bar() const { return status_bar_; }
  // The parent of the LCD replica (from 0 to 508) and the arc (512 to 842).
  QWidget* panel1() const { return panel1_; }
  TForm2* debug_window() const { return debug_window_; }
  TForm3* interval_dialog() const { return interval_dialog_; }
  TForm5* about_box() const { return about_box_; }
  // The manual in a window of its own, once Help manual has needed it.
  ManualWindow* manual_window() const { return manual_window_; }
  LcdPanel* lcd_panel() const { return lcd_; }
  // The menus, buttons and titles a language switch re-labels.
  const LanguageControls& language_controls() const { return language_controls_; }
  // Languages: its items switch the language when triggered.
  QMenu* language_menu() const { return mmu_set_lan_; }
  AnalogReadout* analog_readout() const { return readout_; }
  Alarm* alarm() const { return alarm_; }
  // View > Statistics, once it has been opened.
  StatisticsWindow* statistics_window() const { return statistics_window_; }
  // View > Trend overview, once it has been opened.
  OverviewWindow* overview_window() const { return overview_window_; }
  CombinedChartWindow* combined_window() const { return combined_window_; }

 public slots:
  void Btn_StartClick();
  // A window of its own, in a process of its own: its Start finds the next meter.
  void mmu_new_windowClick();
  void Btn_STOPClick();
  // File > Start when: Start, with the log held back until a condition holds.
  void mni_start_whenClick();
  void Btn_ResetClick();
  void Btn_EXTClick();
  void Exit1Click();
  void Timer_ShowTimer();
  void Timer_sysTimer();
  void btn_testClick();
  void sys_setClick();
  void mni_Help_MClick();
  void mni_Help_AboutClick();
  void mni_debugClick();
  // Setting > Reset settings: the first start's settings, now and at the next start.
  void mmu_reset_settingsClick();
  // Setting > Publishing: where readings go from the next Start on.
  void mmu_publishingClick();
  // --publish was given: it publishes for the whole run, whatever the settings say.
  void publish_from_command_line() { command_line_publishing_ = true; }
  // The publishing secrets from and into the desktop's keychain; without
  // this (tests) they are kept in memory only.
  void use_keychain();

 signals:
  // The user closed the window: every port has been closed, the program ends.
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_panel_chart(QWidget* client);
  void build_panel1(QWidget* panel_chart);
  void build_window_controls(QWidget* client);
  void build_menus();
  void build_view_menu(QMenuBar* bar);
  void build_timers();
  void build_shortcuts();
  void build_tab_order();
  void apply_hints();
  void FormShow();
  void FormResize();
  void apply_control_states(AcquisitionState state);
  void apply_control_states(ControlEvent event);
  // Panel 0 of the status bar: whether the meter is being read, in the current language.
  void show_run_state(AcquisitionState state);
  void show_side_panel();
  // The status bar's word on conditional recording, as the gate stands now.
  void show_gate();
  // The gate's stop came: the acquisition ends as Stop ends it.
  bool stop_at_gate_end();
  // Panel 2: the chosen interval in the current language, or the word that
  // stands there until one is chosen.
  void show_interval_panel();
  void session_notice(SessionNotice notice, const std::string& detail);
  void mni_statisticsClick();
  void mni_limitsClick();
  void mni_overviewClick();
  void mni_combinedClick();
  // View > Add note: a text at the newest reading, in the session and on the chart.
  void mni_add_noteClick();
  // An alarm started or ended: the chart shades the readings of the excursion.
  void follow_excursion(const AlarmEvent& event);
  void marks_changed();  // the chart's and the overview's limits, excursions or notes
  // The desktop notices follow the limits and the mute: one per excursion
  // while limits are set and the alarm is not muted.
  void follow_alarm_actions();
  void follow_alarm_command();
  // Record n on a page of its own in the chart with the cursor on it, and in
  // the grid's rows (a double-clicked grid row, a moment of the overview).
  void show_reading(std::int64_t n);
  void refresh_statistics();
  // The kept settings (window_settings.cpp): read before the first showing,
  // the places of the windows written when the program ends.
  void restore_main_place();
  void restore_settings();
  void restore_tool_windows();
  void keep_language();
  void keep_interval();
  void keep_limits();
  // Publishing as the settings say (window_publishing.cpp), made anew at a
  // Start after they changed.
  void apply_publishing_settings();
  void apply_influx_settings();
  void keep_places();
  void limit_breached(const real_Record& record);
  void ring_for(const real_Record& record);
  // Makes room in the lower panel for the captions of the current language.
  void fit_panel_captions();
  // The file dialogs and this window's messages, for Save As and Open.
  FileCommandEnv file_command_env();
  void reset_views(MeterModel previous);
  // Start's waits pump the window's events; closing the window or Exit gives
  // the Start up.
  bool wait_listening() override;
  void start_reset(MeterModel previous) override;
  void no_port_found();
  void meter_lost();
  void end_program_now();
  void message(MessageKind kind, const std::string& text);
  // True once Start has to give up: the window is closing or the program ends.
  bool abandoned() const { return abandoned_; }

  Program& program_;
  SecretStore* secrets_ = nullptr;
  std::unique_ptr<WindowPublishing> settings_publishing_;
  std::unique_ptr<WindowInflux> settings_influx_;
  bool command_line_publishing_ = false;
  AcquisitionTiming timing_;
  MessagePresenter present_;
  bool shown_ = false;
  bool interval_chosen_ = false;
  bool abandoned_ = false;
  std::string session_failure_;  // why the session file is not written
  int session_note_ = 0;         // what the side panel says of it when it is written
  QString session_note_tip_;
  std::string meter_device_;  // the port of this window's meter, since its Start found it
  QEventLoop* waiting_ = nullptr;

  QWidget* panel_chart_ = nullptr;
  QWidget* panel1_ = nullptr;
  AnchoredPlacement* panel1_placement_ = nullptr;
  std::array<QLineEdit*, 4> title_boxes_{};  // MAX, its time, MIN, its time
  std::array<QLineEdit*, 4> value_boxes_{};
  LanguageControls language_controls_;
  TrendChart* chart_ = nullptr;
  DataGrid* grid_ = nullptr;
  ViewFollower* follower_ = nullptr;
  PanelStatusBar* status_bar_ = nullptr;
  QPushButton* btn_start_ = nullptr;
  QPushButton* btn_stop_ = nullptr;
  QPushButton* btn_reset_ = nullptr;
  QPushButton* btn_ext_ = nullptr;
  QLineEdit* mainno_ = nullptr;
  QLineEdit* edt_test_ = nullptr;
  LcdPanel* lcd_ = nullptr;
  AnalogReadout* readout_ = nullptr;
  QMenu* file1_ = nullptr;
  QMenu* mmu_set_lan_ = nullptr;
  QMenu* mmu_set_ = nullptr;
  QMenu* help1_ = nullptr;
  QAction* mmu_open_ = nullptr;
  QAction* mmu_sessions_ = nullptr;
  QAction* mmu_new_window_ = nullptr;
  QMenu* mmu_view_ = nullptr;
  StatisticsWindow* statistics_window_ = nullptr;
  OverviewWindow* overview_window_ = nullptr;
  CombinedChartWindow* combined_window_ = nullptr;
  Alarm* alarm_ = nullptr;
  NoteList notes_;
  ExcursionSpans excursions_;
  // The first reading the limits in force judged: no excursion begins before it.
  std::int64_t limits_from_ = 1;
  std::uint64_t excursion_key_ = 0;  // of the excursion that lasts, 0 for none
  AlarmActions alarm_actions_;       // what an alarm does besides sounding
  std::string running_command_;      // the command the recording runs now
  std::shared_ptr<UiThreadRelay> relay_;
  NoteAsker ask_note_;
  StartWhenAsker ask_start_when_;
  StartWhenTexts start_when_last_;  // the dialog opens with the choice made last
  std::string triggered_at_;        // the time of day the gate triggered
  QAction* mni_start_when_ = nullptr;
  QAction* save_as_ = nullptr;
  QAction* exit1_ = nullptr;
  QAction* sys_set_ = nullptr;
  QAction* mni_debug_ = nullptr;
  QTimer* timer_sys_ = nullptr;
  QTimer* timer_show_ = nullptr;
  TForm2* debug_window_ = nullptr;
  TForm3* interval_dialog_ = nullptr;
  TForm5* about_box_ = nullptr;
  ManualWindow* manual_window_ = nullptr;
};

// The window's title for a log kept in file: "Tarvo — name.txt".
QString log_window_title(const std::filesystem::path& file);
// With several windows, each says which meter it has.
QString meter_window_title(const std::string& device);

// The locale's decimal separator: the second character of 1.1 as the locale
// writes it, "," when that text is too short.
std::string locale_decimal_separator(const QLocale& locale);

}  // namespace tarvo
