#include "chart_command.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QWidget>
#include <array>
#include <memory>
#include <ostream>

#include "chart_picture.h"
#include "convert_command.h"
#include "files/file_types.h"
#include "files/text_log.h"
#include "i18n/text_numbers.h"
#include "link/meter_state.h"
#include "options.h"
#include "trend_chart.h"

namespace tarvo::cli {

namespace {

constexpr std::string_view kPrefix = "tarvo-cli chart: ";
constexpr QRect kChartDesign{1, 0, 668, 395};

// The chart as the main window holds it, with the scrollbar and the boxes it
// fills, at its design size; the page that ends with the last record.
int draw_and_save(MeterState& s, const LogFileArgs& a, PictureFormat format, std::ostream& out,
                  std::ostream& err) {
  QWidget panel;
  panel.resize(kChartDesign.right() + 1, kChartDesign.bottom() + 1);
  auto* bar = new QScrollBar(&panel);
  bar->hide();
  std::array<QLineEdit*, 4> boxes{};
  for (QLineEdit*& box : boxes) box = new QLineEdit(&panel);
  auto* chart = new TrendChart(s, bar, {boxes[0], boxes[1], boxes[2], boxes[3]}, &panel);
  chart->setGeometry(kChartDesign);
  panel.show();
  chart->update_chart(s.log.count(), PageDirection::Backward);
  if (!chart->page().full_scale) {
    err << kPrefix << a.in.string() << ": " << s.text(kTextWrongFormat) << '\n';
    return 1;
  }
  std::string error;
  if (!save_chart_picture(&panel, *chart, a.out, format, &error)) {
    err << kPrefix << a.out.string() << ": " << error << '\n';
    return 1;
  }
  out << "chart of records " << chart->page().bounds.first << " to " << chart->page().bounds.last
      << " written to " << a.out.string() << '\n';
  return 0;
}

// The widgets need an application object; without a platform named by the
// caller the picture is drawn offscreen, so no display is needed.
int with_application(MeterState& s, const LogFileArgs& a, PictureFormat format, std::ostream& out,
                     std::ostream& err) {
  if (QApplication::instance() != nullptr) return draw_and_save(s, a, format, out, err);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "tarvo-cli";
  char* argv[] = {name, nullptr};
  const QApplication app(argc, argv);
  return draw_and_save(s, a, format, out, err);
}

}  // namespace

int run_chart(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  LogFileArgs a;
  std::optional<PictureFormat> format;
  try {
    a = read_log_file_args(args);
    format = picture_format_of(a.out);
    if (!format) {
      throw UsageError("the picture must end in " + extensions_written_by({FileWriter::Picture}));
    }
  } catch (const UsageError& e) {
    err << kPrefix << e.what() << '\n';
    return 2;
  }
  const auto s = std::make_unique<MeterState>();
  s->LanguageBase = LanguageTable::kEnglish;
  s->DecimalSeparator = a.separator;
  std::optional<ReadingLog> log = load_in_file(a, kPrefix, err);
  if (!log) return 1;
  s->log = std::move(*log);
  return with_application(*s, a, *format, out, err);
}

}  // namespace tarvo::cli
