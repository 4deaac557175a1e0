#include "message_box.h"

#include <QMessageBox>

namespace tarvo {

void show_message_box(QWidget* parent, MessageKind kind, const std::string& text) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  if (kind == MessageKind::Warning) icon = QMessageBox::Warning;
  if (kind == MessageKind::Error) icon = QMessageBox::Critical;
  QMessageBox box(icon, QStringLiteral("Tarvo"), QString::fromStdString(text), QMessageBox::Ok,
                  parent);
  box.exec();
}

}  // namespace tarvo
