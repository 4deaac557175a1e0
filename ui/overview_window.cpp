#include "overview_window.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "i18n/text_numbers.h"
#include "overview_painter.h"

namespace tarvo {

namespace {

// One notch of the wheel shows this share of the readings shown before.
constexpr double kZoomPerNotch = 0.8;
constexpr int kWheelNotch = 120;

QString moment_text(const real_Record& record) {
  if (!record.Dated) return QString::fromStdString(record.Time.str());
  std::string text = format_iso_local(record.DateTime);
  text[10] = ' ';
  return QString::fromStdString(text);
}

}  // namespace

OverviewPlot::OverviewPlot(const MeterState& s, LogPyramid& pyramid, LogOverview& overview,
                           QWidget* parent)
    : QWidget(parent), s_(s), pyramid_(pyramid), overview_(overview) {
  setObjectName(QStringLiteral("OverviewPlot"));
  setMinimumSize(320, 200);
}

QRect OverviewPlot::plot_area() const {
  return overview_plot_area(rect(), fontMetrics());
}

OverviewSource OverviewPlot::source() const {
  return {s_.log,      pyramid_.pyramid(),
          overview_,   s_.DecimalSeparator,
          empty_text_, QString::fromStdString(pyramid_.unit()),
          marks_};
}

void OverviewPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  paint_overview(painter, rect(), source());
}

// Over a note's line the tooltip is the note's whole text; elsewhere the
// plot's own hint.
bool OverviewPlot::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const ChartNote* note = overview_note_at(rect(), fontMetrics(), source(), help->pos().x());
  QToolTip::showText(help->globalPos(), note ? QString::fromStdString(note->text) : toolTip(),
                     this);
  return true;
}

void OverviewPlot::wheelEvent(QWheelEvent* event) {
  const QRect area = plot_area();
  const int notches = event->angleDelta().y();
  if (notches == 0 || area.width() <= 0) return;
  const double fraction = (event->position().x() - area.left()) / area.width();
  overview_.zoom(std::pow(kZoomPerNotch, static_cast<double>(notches) / kWheelNotch), fraction);
  update();
  emit view_changed();
  event->accept();
}

void OverviewPlot::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  dragged_ = false;
  press_at_ = event->position().toPoint();
  press_view_ = overview_.view();
}

void OverviewPlot::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_) return;
  const int dx = event->position().toPoint().x() - press_at_.x();
  if (!dragged_ && std::abs(dx) < QApplication::startDragDistance()) return;
  dragged_ = true;
  const QRect area = plot_area();
  if (area.width() <= 0) return;
  // The records follow the pointer: dragging to the right shows earlier ones.
  overview_.set_view(press_view_);
  overview_.pan(std::llround(-static_cast<double>(dx) * static_cast<double>(press_view_.count()) /
                             area.width()));
  update();
  emit view_changed();
}

void OverviewPlot::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  const QRect area = plot_area();
  const IndexSpan& view = overview_.view();
  if (dragged_ || view.count() == 0 || !area.contains(event->position().toPoint())) return;
  emit reading_chosen(record_at(view, area.width(), event->position().x() - area.left()));
}

class OverviewWindow::Follower final : public CommitListener {
 public:
  explicit Follower(OverviewWindow& window) : window_(window) {}
  void reading_committed(const real_Record& record) override {
    window_.pyramid_.reading_committed(record);
    window_.log_grew();
  }

 private:
  OverviewWindow& window_;
};

OverviewWindow::OverviewWindow(MeterState& s, QWidget* parent)
    : QDialog(parent),
      s_(s),
      pyramid_(s.log, s.DecimalSeparator),
      follower_(std::make_unique<Follower>(*this)) {
  setObjectName(QStringLiteral("OverviewWindow"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* controls = new QHBoxLayout;
  scope_box_ = new QComboBox(this);
  scope_box_->setObjectName(QStringLiteral("OverviewScope"));
  scope_box_->addItems({QString(), QString()});
  scope_box_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  show_all_ = new QPushButton(this);
  show_all_->setObjectName(QStringLiteral("OverviewShowAll"));
  controls->addWidget(scope_box_);
  controls->addWidget(show_all_);
  controls->addStretch(1);
  layout->addLayout(controls);
  plot_ = new OverviewPlot(s_, pyramid_, overview_, this);
  layout->addWidget(plot_, 1);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("OverviewStatus"));
  layout->addWidget(status_);

  repaint_ = new QTimer(this);
  repaint_->setSingleShot(true);
  repaint_->setInterval(0);
  connect(repaint_, &QTimer::timeout, this, &OverviewWindow::refresh);
  connect(scope_box_, &QComboBox::activated, this,
          [this](int index) { set_scope(static_cast<OverviewScope>(index)); });
  connect(show_all_, &QPushButton::clicked, this, [this] {
    overview_.show_all();
    refresh();
  });
  connect(plot_, &OverviewPlot::view_changed, this, &OverviewWindow::show_status);
  connect(plot_, &OverviewPlot::reading_chosen, this, &OverviewWindow::reading_chosen);

  following_ = s_.commit_listeners.subscribe(CommitStage::Views, *follower_);
  rebuild();
  retranslate();
  resize(900, 460);
}

OverviewWindow::~OverviewWindow() = default;

void OverviewWindow::rebuild() {
  pyramid_.rebuild();
  overview_.set_domain(scope_domain(scope_, s_.log.count(), pyramid_.run_start()));
  overview_.show_all();
  refresh();
}

void OverviewWindow::set_scope(OverviewScope scope) {
  scope_ = scope;
  scope_box_->setCurrentIndex(static_cast<int>(scope));
  overview_.set_domain(scope_domain(scope_, s_.log.count(), pyramid_.run_start()));
  overview_.show_all();
  refresh();
}

void OverviewWindow::set_marks(ChartMarks marks) {
  plot_->set_marks(marks);
  marks_changed();
}

void OverviewWindow::marks_changed() {
  if (isVisible()) plot_->update();
}

void OverviewWindow::retranslate() {
  setWindowTitle(QString::fromStdString(s_.text(kTextOverviewTitle)));
  scope_box_->setItemText(0, QString::fromStdString(s_.text(kTextStatsLog)));
  scope_box_->setItemText(1, QString::fromStdString(s_.text(kTextStatsRun)));
  show_all_->setText(QString::fromStdString(s_.text(kTextOverviewShowAll)));
  plot_->setToolTip(QString::fromStdString(s_.text(kTextOverviewHint)));
  plot_->set_empty_text(QString::fromStdString(s_.text(kTextOverviewEmpty)));
  refresh();
}

void OverviewWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  refresh();
}

// A burst of commits (a typed frame, a catching-up meter) is drawn once.
void OverviewWindow::log_grew() {
  if (!repaint_->isActive()) repaint_->start();
}

void OverviewWindow::refresh() {
  repaint_->stop();
  overview_.set_domain(scope_domain(scope_, s_.log.count(), pyramid_.run_start()));
  if (!isVisible()) return;
  show_status();
  plot_->update();
}

void OverviewWindow::show_status() {
  const IndexSpan& view = overview_.view();
  if (view.count() == 0 || view.last > s_.log.count()) {
    status_->setText(QString::fromStdString(s_.text(kTextOverviewEmpty)));
    return;
  }
  const QString readings = QString::fromStdString(s_.text(kTextOverviewReadings))
                               .arg(view.first)
                               .arg(view.last)
                               .arg(s_.log.count());
  const QString moments = QString::fromStdString(s_.text(kTextOverviewFromTo))
                              .arg(moment_text(s_.log[view.first]), moment_text(s_.log[view.last]));
  status_->setText(readings + QStringLiteral("    ") + moments);
}

}  // namespace tarvo
