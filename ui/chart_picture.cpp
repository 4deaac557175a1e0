#include "chart_picture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QWidget>

#include "files/atomic_file.h"
#include "files/jpeg_writer.h"
#include "trend_chart.h"

namespace tarvo {

namespace {

bool fail(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
  return false;
}

// The window takes no input while the chart is away from its own size.
class InputHold {
 public:
  explicit InputHold(QWidget* window) : window_(window) {
    if (window_ != nullptr) window_->setEnabled(false);
  }
  ~InputHold() {
    if (window_ != nullptr) window_->setEnabled(true);
  }
  InputHold(const InputHold&) = delete;
  InputHold& operator=(const InputHold&) = delete;

 private:
  QWidget* window_;
};

// The chart lays its axes out in response to a posted layout request; only
// those are delivered here, so no timer or input event runs in between.
void lay_out_now() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// Whatever happens during the capture, the chart has its size back afterwards.
class SizeKeeper {
 public:
  explicit SizeKeeper(QWidget& chart) : chart_(chart), size_(chart.size()) {}
  ~SizeKeeper() {
    chart_.resize(size_);
    lay_out_now();
  }
  SizeKeeper(const SizeKeeper&) = delete;
  SizeKeeper& operator=(const SizeKeeper&) = delete;

 private:
  QWidget& chart_;
  QSize size_;
};

// The chart wears its report look only while it is captured.
class ReportLook {
 public:
  explicit ReportLook(TrendChart& chart) : chart_(chart) { chart_.set_report_look(true); }
  ~ReportLook() { chart_.set_report_look(false); }
  ReportLook(const ReportLook&) = delete;
  ReportLook& operator=(const ReportLook&) = delete;

 private:
  TrendChart& chart_;
};

void draw_title_line(QPainter& painter, const std::string& text, const QRect& room, int pixels,
                     bool bold) {
  QFont font = painter.font();
  font.setPixelSize(pixels);
  font.setBold(bold);
  painter.setFont(font);
  painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(text));
}

void draw_title(QPainter& painter, const ReportTitle& title, const QRect& block) {
  painter.setPen(Qt::black);
  const int left = block.left() + 20;
  const int width = block.width() - 40;
  draw_title_line(painter, title.heading, QRect(left, block.top() + 12, width, 40), 30, true);
  draw_title_line(painter, title.figures, QRect(left, block.top() + 54, width, 36), 24, false);
  painter.setPen(QColor(160, 160, 160));
  painter.drawLine(left, block.bottom(), block.right() - 20, block.bottom());
}

QImage white_picture(QSize size) {
  QImage picture(size, QImage::Format_RGB32);
  if (!picture.isNull()) picture.fill(Qt::white);
  return picture;
}

bool write_bytes(const QByteArray& bytes, const std::filesystem::path& file, std::string* error) {
  AtomicFile out(file);
  return (out.write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) &&
          out.commit()) ||
         fail(error, out.error());
}

// BMP and PNG through Qt's own image writers, into memory first.
bool write_qt_image(const QImage& picture, const char* format, const std::filesystem::path& file,
                    std::string* error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, format)) return fail(error, "the picture could not be encoded");
  return write_bytes(bytes, file, error);
}

bool write_jpeg_image(const QImage& picture, const std::filesystem::path& file,
                      std::string* error) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  const RgbPixels pixels{rgb.constBits(), rgb.width(), rgb.height(),
                         static_cast<std::size_t>(rgb.bytesPerLine())};
  return write_jpeg(pixels, file, error);
}

// The cursor line and its labels: child widgets of the chart that its scene
// does not hold.
void paint_cursor_controls(QPainter& painter, const TrendChart& chart, QPoint origin) {
  for (const char* name : {"shp1", "lbl_time", "lbl_chn1"}) {
    auto* control = chart.findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (control == nullptr || !control->isVisible()) continue;
    control->render(&painter, origin + control->pos(), QRegion(),
                    QWidget::DrawWindowBackground | QWidget::DrawChildren);
  }
}

}  // namespace

// The view's own rendering covers the chart's scene only; the cursor line and
// its labels are child widgets and stay out.
QImage chart_bitmap(TrendChart& chart) {
  lay_out_now();
  QImage picture = white_picture(chart.size());
  if (picture.isNull()) return picture;
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  chart.render(&painter, QRectF(picture.rect()), chart.viewport()->rect());
  return picture;
}

QImage chart_capture(TrendChart& chart) {
  const SizeKeeper keeper(chart);
  const ReportLook look(chart);
  chart.resize(kCaptureChartSize - QSize(0, kReportTitleHeight));
  lay_out_now();
  QImage picture = white_picture(kCaptureChartSize + QSize(2 * kCaptureMargin, 2 * kCaptureMargin));
  if (picture.isNull()) return picture;
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::TextAntialiasing);
  draw_title(painter, chart.report_title(),
             QRect(kCaptureMargin, kCaptureMargin, kCaptureChartSize.width(), kReportTitleHeight));
  // The scene is drawn by the view's own rendering, never through the
  // widget's paint event: a chart painted into a picture while it lies in a
  // window on screen takes part in that window's repaint, which refuses the
  // nested paint ("Recursive repaint detected") and leaves the plot empty.
  const QPoint origin(kCaptureMargin, kCaptureMargin + kReportTitleHeight);
  painter.setRenderHint(QPainter::Antialiasing);
  chart.render(&painter, QRectF(QRect(origin, chart.size())), chart.viewport()->rect());
  paint_cursor_controls(painter, chart, origin);
  return picture;
}

bool save_chart_picture(QWidget* window, TrendChart& chart, const std::filesystem::path& file,
                        PictureFormat format, std::string* error) {
  QImage picture;
  {
    const InputHold hold(window);
    picture = format == PictureFormat::Bmp ? chart_bitmap(chart) : chart_capture(chart);
  }
  if (picture.isNull()) return fail(error, "the picture could not be made");
  switch (format) {
    case PictureFormat::Bmp:
      return write_qt_image(picture, "BMP", file, error);
    case PictureFormat::Png:
      return write_qt_image(picture, "PNG", file, error);
    case PictureFormat::Jpeg:
      break;
  }
  return write_jpeg_image(picture, file, error);
}

}  // namespace tarvo
