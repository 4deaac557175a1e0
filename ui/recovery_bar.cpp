#include "recovery_bar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tarvo {

RecoveryBar::RecoveryBar(QWidget* parent, const QString& text, const QString& open,
                         const QString& dismiss, std::filesystem::path session)
    : QFrame(parent),
      session_(std::move(session)),
      label_(new QLabel(text, this)),
      open_(new QPushButton(open, this)),
      dismiss_(new QPushButton(dismiss, this)) {
  setObjectName(QStringLiteral("RecoveryBar"));
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, QColor(255, 244, 206));
  colours.setColor(QPalette::WindowText, QColor(150, 100, 0));
  setPalette(colours);
  label_->setObjectName(QStringLiteral("RecoveryText"));
  label_->setPalette(colours);
  open_->setObjectName(QStringLiteral("RecoveryOpen"));
  dismiss_->setObjectName(QStringLiteral("RecoveryDismiss"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 3, 4, 3);
  row->addWidget(label_, 1);
  row->addWidget(open_);
  row->addWidget(dismiss_);
  connect(open_, &QPushButton::clicked, this, [this] { emit open_chosen(session_); });
  connect(dismiss_, &QPushButton::clicked, this, &QWidget::close);
  setAttribute(Qt::WA_DeleteOnClose);
  parent->installEventFilter(this);
  fit_parent();
  raise();
}

void RecoveryBar::set_texts(const QString& text, const QString& open, const QString& dismiss) {
  label_->setText(text);
  open_->setText(open);
  dismiss_->setText(dismiss);
  fit_parent();
}

bool RecoveryBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) fit_parent();
  return QFrame::eventFilter(watched, event);
}

void RecoveryBar::fit_parent() {
  // A long text in a narrow window wraps rather than pushing the buttons out.
  label_->setWordWrap(true);
  const int width = parentWidget()->width();
  setGeometry(0, 0, width, heightForWidth(width) > 0 ? heightForWidth(width) : sizeHint().height());
}

}  // namespace tarvo
