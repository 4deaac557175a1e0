// manual_screenshots DIR: draws the dialogs the manual shows, in English, with
// the program's own widgets, and saves them as PNG files in DIR. Run it by hand
// after changing a dialog and commit the pictures under docs/manual/images.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

#include "about_box.h"
#include "debug_window.h"
#include "i18n/language_table.h"
#include "interval_dialog.h"
#include "link/meter_state.h"

namespace {

bool save(QWidget& widget, const QDir& dir, const char* name) {
  widget.show();
  QApplication::processEvents();
  const bool saved = widget.grab().save(dir.filePath(QString::fromLatin1(name)));
  if (!saved) std::fprintf(stderr, "manual_screenshots: cannot write %s\n", name);
  return saved;
}

void fill_trace(tarvo::TForm2& trace) {
  const char* const lines[] = {
      "14:03:27.5  COM1  IS OPEN",
      "14:03:27.6  COM2  OPEN FAIL",
      "14:03:28.61  COM1  Read:(28)  A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 "
      "A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 \r\n",
      "14:03:29.62  COM1  Read:(14)  A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 \r\n",
  };
  for (const char* line : lines) trace.add_line(line);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: manual_screenshots DIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  tarvo::MeterState s;
  s.LanguageBase = tarvo::LanguageTable::kEnglish;
  s.RecordInterval = 5;

  tarvo::TForm3 interval;
  interval.FormShow(s);
  tarvo::TForm5 about;
  about.FormShow(s);
  tarvo::TForm2 trace;
  fill_trace(trace);
  const bool all = save(interval, dir, "interval_dialog.png") &&
                   save(about, dir, "about_box.png") && save(trace, dir, "debug_window.png");
  return all ? 0 : 1;
}
