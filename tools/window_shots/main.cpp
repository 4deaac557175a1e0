// Renders the main window in each of its languages, with a few readings
// logged, into OUTPUT_FOLDER/main-window-<language>.png, or
// main-window-<language>@2x.png on a screen of twice the density
// (QT_SCALE_FACTOR=2).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

#include "link/polling_cycle.h"
#include "main_window.h"

namespace {

constexpr const char* kFrames[] = {
    "A0 02 12 00 01 02 03 04 05 09 09 09 09 00",  // DCV+ACV with dBm: the widest grid texts
    "A1 01 31 20 01 02 03 04 05 00 00 00 06 00",  // DCV with a frequency on the sub display
    "A1 01 11 20 01 02 04 04 05 00 00 00 06 00",
    "A1 01 11 20 01 02 05 01 05 00 00 00 06 00",
};

struct Language {
  const char* item;
  const char* name;
};
constexpr Language kLanguages[] = {
    {"lan_01", "english"}, {"lan_02", "chinese"}, {"lan_03", "french"},
    {"lan_04", "german"},  {"lan_05", "spanish"},
};

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
  for (const char* frame : kFrames) {
    tarvo::inject_test_frame(program.session(), program.ports(), &window, frame,
                             tarvo::now_local());
  }
  for (const Language& language : kLanguages) {
    window.findChild<QAction*>(language.item)->trigger();
    QApplication::processEvents();
    const QString suffix = window.devicePixelRatioF() > 1 ? QStringLiteral("@2x") : QString();
    const QString file =
        out.filePath(QStringLiteral("main-window-%1%2.png").arg(language.name, suffix));
    if (!window.grab().save(file)) {
      std::fprintf(stderr, "window_shots: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
