// Renders the main window in each of its languages, with a few readings
// logged, into OUTPUT_FOLDER/main-window-<language>.png, or
// main-window-<language>@2x.png on a screen of twice the density
// (QT_SCALE_FACTOR=2), and beside it the menus, the dialogs and the tool
// windows in each language.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>

#include "about_box.h"
#include "files/session_marks.h"
#include "interval_dialog.h"
#include "limits_dialog.h"
#include "link/polling_cycle.h"
#include "link/test_frame.h"
#include "main_window.h"
#include "overview_window.h"
#include "publishing_dialog.h"
#include "session_dialog.h"
#include "start_when_dialog.h"
#include "statistics_window.h"
#include "trend_chart.h"

namespace {

constexpr const char* kFrames[] = {
    "A0 02 12 00 01 02 03 04 05 09 09 09 09 00",  // DCV+ACV with dBm: the widest grid texts
    "A1 01 31 20 01 02 03 04 05 00 00 00 06 00",  // DCV with a frequency on the sub display
    "A1 01 11 20 01 02 04 04 05 00 00 00 06 00",
    "A1 01 11 20 01 02 05 01 05 00 00 00 06 00",
};

// The sessions dialog with two made-up sessions, grabbed once it is up.
bool shoot_session_dialog(tarvo::TForm1& window, const QString& file) {
  tarvo::SessionSummary crashed;
  crashed.path = "/home/user/.local/state/tarvo/sessions/20261209-220103.tarvo-session";
  crashed.header.started = {2026, 12, 9, 22, 1, 3, 0, 60};
  crashed.readings = 28800;
  crashed.last_reading = tarvo::LocalTime{2026, 12, 10, 6, 1, 2, 0, 60};
  tarvo::SessionSummary saved = crashed;
  saved.path = "/home/user/.local/state/tarvo/sessions/20261208-090000.tarvo-session";
  saved.header.started = {2026, 12, 8, 9, 0, 0, 0, 60};
  saved.readings = 3600;
  saved.last_reading = tarvo::LocalTime{2026, 12, 8, 10, 0, 0, 0, 60};
  saved.state = tarvo::SessionState::Saved;
  bool written = false;
  QTimer::singleShot(200, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog != nullptr) {
      written = dialog->grab().save(file);
      dialog->close();
    }
  });
  tarvo::run_session_dialog(&window, window.program().state(), {crashed, saved});
  return written;
}

// Grabs the modal dialog a command brings up, and closes it.
bool grab_modal(const QString& file, const std::function<void()>& command) {
  bool written = false;
  QTimer::singleShot(200, [&] {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
      written = dialog->grab().save(file);
      dialog->close();
    }
  });
  command();
  return written;
}

// Each menu of the menu bar, opened, as one picture side by side.
bool shoot_menus(tarvo::TForm1& window, const QString& file) {
  QList<QPixmap> shots;
  for (QAction* top : window.menuBar()->actions()) {
    QMenu* menu = top->menu();
    if (menu == nullptr || menu->actions().isEmpty()) continue;
    menu->popup(window.mapToGlobal(QPoint(0, 0)));
    QApplication::processEvents();
    shots.push_back(menu->grab());
    menu->hide();
  }
  // Laid out in the shots' own pixels, so a screen of twice the density
  // gives a picture of twice the size.
  int width = 0, height = 0;
  for (const QPixmap& shot : shots) {
    width += shot.width() + 8;
    height = std::max(height, shot.height());
  }
  QImage all(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  all.fill(Qt::white);
  QPainter painter(&all);
  int x = 0;
  for (const QPixmap& shot : shots) {
    QImage image = shot.toImage();
    image.setDevicePixelRatio(1);
    painter.drawImage(x, 0, image);
    x += shot.width() + 8;
  }
  painter.end();
  return !shots.isEmpty() && all.save(file);
}

struct Language {
  const char* item;
  const char* name;
};
constexpr Language kLanguages[] = {
    {"lan_01", "english"}, {"lan_02", "chinese"}, {"lan_03", "french"},
    {"lan_04", "german"},  {"lan_05", "spanish"},
};

// Two hours of readings two seconds apart: a slow drift with a ripple, a
// spike and a short dip, as the trend overview is meant to show them.
std::vector<tarvo::real_Record> drifting_log() {
  std::vector<tarvo::real_Record> records(4000);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const double x = static_cast<double>(i);
    double value = 3.3000 + 0.0150 * x / 4000 + 0.0012 * std::sin(x / 37) + 0.0004 * std::sin(x);
    if (i >= 2600 && i < 2606) value += 0.0210;
    if (i >= 1200 && i < 1203) value -= 0.0090;
    tarvo::real_Record& r = records[i];
    r.Index = static_cast<std::int64_t>(i) + 1;
    r.Main_No.assign(QString::number(value, 'f', 4).toStdString());
    r.Main_Range.assign("DCV AUTO 5.0000 V");
    const int seconds = 2 * static_cast<int>(i);
    r.DateTime = {2026, 12, 9, 8 + seconds / 3600, seconds / 60 % 60, seconds % 60, 0, 60};
    r.Dated = true;
    r.Time.assign(tarvo::format_hhnnss(r.DateTime));
  }
  return records;
}

// The trend overview of a drifting log in each language.
bool shoot_overviews(tarvo::TForm1& window, const QDir& out) {
  window.program().state().log.replace(drifting_log());
  window.show_log_marks({});  // the alarm chart's are not this log's
  window.log_loaded();
  window.findChild<QAction*>("mni_overview")->trigger();
  tarvo::OverviewWindow& overview = *window.overview_window();
  overview.resize(900, 460);
  for (const Language& language : kLanguages) {
    window.findChild<QAction*>(language.item)->trigger();
    QApplication::processEvents();
    const QString suffix = window.devicePixelRatioF() > 1 ? QStringLiteral("@2x") : QString();
    const QString file =
        out.filePath(QStringLiteral("overview-%1%2.png").arg(language.name, suffix));
    if (!overview.grab().save(file)) return false;
  }
  overview.hide();
  return true;
}

// The chart of a slow swing of readings past a high and a low limit, with a
// note added on the way: the limit lines, the shaded excursions and the note.
bool shoot_alarm_chart(tarvo::TForm1& window, const QDir& out) {
  tarvo::Program& program = window.program();
  window.findChild<QAction*>("lan_01")->trigger();
  window.findChild<QPushButton*>("Btn_Reset")->click();
  program.recording().set_limits({{"ACV", "V"}, 3.8, 1.2});
  window.set_note_asker([](const QString&, const QString&) {
    return std::optional<QString>(QStringLiteral("probe moved to TP3"));
  });
  for (int i = 0; i < 160; ++i) {
    // Counts of the 5 V range: 2.5 V swinging by 1.6 V, with a little noise.
    const int counts =
        25000 + static_cast<int>(std::lround(16000 * std::sin(i / 9.0))) + (i * 37 % 400) - 200;
    QString frame = QStringLiteral("A0 00 30 00");
    for (int digit = 10000; digit >= 1; digit /= 10) {
      frame += QStringLiteral(" %1").arg(counts / digit % 10, 2, 10, QLatin1Char('0'));
    }
    frame += QStringLiteral(" 00 00 00 5B 00");
    tarvo::MeterState& s = program.state();
    s.rx.assign(tarvo::parse_test_text(frame.toStdString()));
    s.ReadingTime = tarvo::now_local();
    if (tarvo::decode_frame(s)) tarvo::commit_reading(s, &window);
    if (i == 70) window.findChild<QAction*>("mni_add_note")->trigger();
  }
  QApplication::processEvents();
  if (!window.trend_chart()->grab().save(
          out.filePath(QStringLiteral("chart-alarms-english.png")))) {
    return false;
  }
  // The same marks on the trend overview.
  window.findChild<QAction*>("mni_overview")->trigger();
  tarvo::OverviewWindow& overview = *window.overview_window();
  overview.resize(900, 460);
  QApplication::processEvents();
  const bool written =
      overview.grab().save(out.filePath(QStringLiteral("overview-alarms-english.png")));
  overview.hide();
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_shots OUTPUT_FOLDER\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  tarvo::Program program;
  tarvo::TForm1 window(program);
  window.show();
  QApplication::processEvents();
  // As the meter would send them: readings, not frames typed by hand.
  for (const char* frame : kFrames) {
    tarvo::MeterState& s = program.state();
    s.rx.assign(tarvo::parse_test_text(frame));
    s.ReadingTime = tarvo::now_local();
    if (tarvo::decode_frame(s)) tarvo::commit_reading(s, &window);
  }
  for (const Language& language : kLanguages) {
    window.findChild<QAction*>(language.item)->trigger();
    QApplication::processEvents();
    const QString suffix = window.devicePixelRatioF() > 1 ? QStringLiteral("@2x") : QString();
    const QString file =
        out.filePath(QStringLiteral("main-window-%1%2.png").arg(language.name, suffix));
    const QString dialog =
        out.filePath(QStringLiteral("sessions-dialog-%1%2.png").arg(language.name, suffix));
    const auto other = [&](const char* name) {
      return out.filePath(
          QStringLiteral("%1-%2%3.png").arg(QLatin1String(name), language.name, suffix));
    };
    window.findChild<QAction*>("mni_statistics")->trigger();
    QApplication::processEvents();
    const bool statistics = window.statistics_window()->grab().save(other("statistics-window"));
    window.statistics_window()->hide();
    const bool limits = grab_modal(other("limits-dialog"), [&] {
      // An example of every field, for the newest reading's function and unit.
      const tarvo::RunKey key = tarvo::run_key_of(program.state().log[program.state().log.count()]);
      tarvo::run_limits_dialog(
          &window, program.state(),
          {{key, 5.05, 4.95}, 0.002, 5, 30, false, {true, true, "logger -t bench"}});
    });
    const bool interval = grab_modal(other("interval-dialog"), [&] {
      tarvo::run_interval_dialog(*window.interval_dialog(), program.state());
    });
    const bool publishing = grab_modal(other("publishing-dialog"), [&] {
      tarvo::PublishingChoice example;
      example.settings = {"broker.lab:8883",        true, "bench1", "lab/bench1", true,
                          "http://influx.lab:8086", "",   "lab",    "bench"};
      example.password = "password";
      example.token = "token";
      tarvo::run_publishing_dialog(&window, program.state(), example,
                                   tarvo::SecretStore::Keychain::Present);
    });
    const bool start_when = grab_modal(other("start-when-dialog"), [&] {
      tarvo::StartWhenTexts example{tarvo::StartChoice::Rises, "5", 10, tarvo::StopChoice::Duration,
                                    "15m"};
      tarvo::run_start_when_dialog(&window, program.state(), example);
    });
    const bool about = grab_modal(
        other("about-box"), [&] { tarvo::show_about_box(*window.about_box(), program.state()); });
    if (!window.grab().save(file) || !shoot_session_dialog(window, dialog) || !statistics ||
        !limits || !interval || !publishing || !start_when || !about ||
        !shoot_menus(window, other("menus"))) {
      std::fprintf(stderr, "window_shots: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  if (!shoot_alarm_chart(window, out)) {
    std::fprintf(stderr, "window_shots: cannot write the alarm chart\n");
    return 1;
  }
  if (!shoot_overviews(window, out)) {
    std::fprintf(stderr, "window_shots: cannot write the overview pictures\n");
    return 1;
  }
  return 0;
}
