#include "not_live_veil.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace tarvo {
namespace {

// Enough white over the picture that the old value reads as a trace of
// itself, not as a reading.
constexpr QColor kVeil(255, 255, 255, 185);
constexpr QColor kBoxFill(255, 240, 200);
constexpr QColor kBoxEdge(200, 120, 0);
constexpr int kBoxPadding = 10;

}  // namespace

NotLiveVeil::NotLiveVeil(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("NotLiveVeil"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(parent->rect());
  parent->installEventFilter(this);
  hide();
}

void NotLiveVeil::set_text(const QString& text) {
  text_ = text;
  update();
}

bool NotLiveVeil::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) {
    setGeometry(parentWidget()->rect());
  }
  return QWidget::eventFilter(watched, event);
}

void NotLiveVeil::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), kVeil);
  if (text_.isEmpty()) return;
  QFont font = this->font();
  font.setBold(true);
  font.setPixelSize(std::max(12, height() / 8));
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const int width =
      std::min(rect().width() - 8, metrics.horizontalAdvance(text_) + 2 * kBoxPadding);
  const QRect box(rect().center().x() - width / 2, rect().center().y() - metrics.height(), width,
                  2 * metrics.height());
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kBoxEdge, 2));
  painter.setBrush(kBoxFill);
  painter.drawRoundedRect(box, 6, 6);
  painter.setPen(kBoxEdge.darker(150));
  painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, text_);
}

void show_not_live(NotLiveVeil*& veil, QWidget* parent, bool waiting, const QString& text) {
  if (!waiting) {
    if (veil != nullptr) veil->hide();
    return;
  }
  if (veil == nullptr) veil = new NotLiveVeil(parent);
  veil->set_text(text);
  veil->setGeometry(parent->rect());
  veil->raise();
  veil->show();
}

}  // namespace tarvo
