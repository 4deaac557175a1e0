// What the main window keeps between runs: the language, the interval, the
// limits and the alarm's mute, and where it and its tool windows were.
#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "alarm.h"
#include "data_grid.h"
#include "debug_window.h"
#include "i18n/language_table.h"
#include "i18n/text_numbers.h"
#include "main_window.h"
#include "overview_window.h"
#include "statistics_window.h"
#include "status_bar.h"
#include "window_placement.h"

namespace tarvo {

namespace {

constexpr int kBaseStep = 1000;
constexpr int kFirstLanguage = 2;  // Simplified Chinese

WindowPlace place_of(const QWidget& window) {
  return {window.x(), window.y(), window.width(), window.height()};
}

// A place on a screen that is still there: a monitor unplugged since would
// leave the window out of reach.
std::optional<QRect> on_screen(const std::optional<WindowPlace>& place) {
  if (!place) return std::nullopt;
  const QRect wanted(place->x, place->y, place->width, place->height);
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().intersects(wanted)) return wanted;
  }
  return std::nullopt;
}

bool put_at(QWidget& window, const std::optional<WindowPlace>& place) {
  const std::optional<QRect> wanted = on_screen(place);
  if (!wanted) return false;
  window.resize(wanted->size());
  window.move(wanted->topLeft());
  return true;
}

}  // namespace

void TForm1::restore_main_place() {
  const UserSettings& kept = program_.settings().load(program_.ports().trace());
  if (!put_at(*this, kept.main_window)) centre_on_screen(*this);
}

void TForm1::restore_settings() {
  MeterState& s = program_.state();
  const UserSettings& kept = program_.settings().current();
  s.RecordInterval = kept.interval.value_or(1);
  interval_chosen_ = kept.interval.has_value();
  program_.recording().set_limits(kept.limits.value_or(Limits{}), kept.alarm.hysteresis,
                                  kept.alarm.min_duration, kept.alarm.stale);
  alarm_->set_muted(kept.muted);
  alarm_actions_ = kept.actions;
  follow_alarm_actions();
  int language = kept.language.value_or(kFirstLanguage);
  if (program_.language_for_run != 0) language = program_.language_for_run;
  ApplyLanguage(&language_controls_, s, language * kBaseStep);
  const QString item = QStringLiteral("lan_%1").arg(language, 2, 10, QLatin1Char('0'));
  for (QAction* action : mmu_set_lan_->actions()) {
    if (action->objectName() == item) action->setChecked(true);
  }
  if (kept.limits) grid_->refill_grid();
  // The debug window opens as the marker file or --debug say, where it was.
  if (const auto place = on_screen(kept.tool(ToolWindow::Debug).place)) {
    debug_window_->set_kept_place(place->topLeft());
  }
  // Once the main window is on screen, or it would cover them.
  QTimer::singleShot(0, this, &TForm1::restore_tool_windows);
}

void TForm1::restore_tool_windows() {
  const UserSettings& kept = program_.settings().current();
  if (kept.tool(ToolWindow::Statistics).open) mni_statisticsClick();
  if (statistics_window_ != nullptr)
    put_at(*statistics_window_, kept.tool(ToolWindow::Statistics).place);
  if (kept.tool(ToolWindow::Overview).open) mni_overviewClick();
  if (overview_window_ != nullptr) put_at(*overview_window_, kept.tool(ToolWindow::Overview).place);
}

void TForm1::keep_language() {
  SettingsStore& store = program_.settings();
  store.current().language = program_.state().LanguageBase / kBaseStep;
  store.save();
}

void TForm1::keep_interval() {
  SettingsStore& store = program_.settings();
  store.current().interval = program_.state().RecordInterval;
  store.save();
}

void TForm1::keep_limits() {
  SettingsStore& store = program_.settings();
  const Limits& limits = program_.limits().limits();
  store.current().limits = limits.any() ? std::optional<Limits>(limits) : std::nullopt;
  const AlarmSettings& alarm = program_.recording().alarms().watch().settings();
  store.current().alarm = {limits.any() ? alarm.rule.hysteresis : 0,
                           limits.any() ? alarm.rule.min_duration : 0, alarm.stale};
  store.current().muted = alarm_->muted();
  store.current().actions = alarm_actions_;
  store.save();
}

// A tool window never opened in this run keeps the place it had before.
void TForm1::keep_places() {
  SettingsStore& store = program_.settings();
  UserSettings& kept = store.current();
  kept.main_window = place_of(*this);
  const auto keep = [&kept](ToolWindow which, const QWidget* window) {
    ToolWindowState& state = kept.tool(which);
    state.open = window != nullptr && window->isVisible();
    if (state.open) state.place = place_of(*window);
  };
  keep(ToolWindow::Statistics, statistics_window_);
  keep(ToolWindow::Overview, overview_window_);
  keep(ToolWindow::Debug, debug_window_);
  store.save();
}

void TForm1::mmu_reset_settingsClick() {
  SettingsStore& store = program_.settings();
  MeterState& s = program_.state();
  s.RecordInterval = 1;
  interval_chosen_ = false;
  program_.recording().set_limits({});
  alarm_->set_muted(false);
  alarm_actions_ = {};
  follow_alarm_actions();
  for (QAction* action : mmu_set_lan_->actions()) {
    if (action->objectName() == QStringLiteral("lan_02")) action->trigger();
  }
  store.reset();  // after the switch, which keeps its language
  show_interval_panel();
  grid_->refill_grid();
  refresh_statistics();
  resize(kDesignWidth, kDesignHeight + menuBar()->sizeHint().height());
  centre_on_screen(*this);
  message(MessageKind::Plain, s.text(kTextSettingsWereReset));
}

}  // namespace tarvo
