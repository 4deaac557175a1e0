#include "dialog_rows.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

#include "i18n/text_numbers.h"

namespace tarvo {

QLabel* make_error_line(const char* name, QWidget* parent) {
  auto* error = new QLabel(parent);
  error->setObjectName(QLatin1String(name));
  error->setStyleSheet(QStringLiteral("color: #b00000"));
  error->setWordWrap(true);
  return error;
}

QDialogButtonBox* make_ok_cancel(QDialog& dialog, const MeterState& s) {
  auto* buttons = new QDialogButtonBox(&dialog);
  buttons->addButton(QString::fromStdString(s.text(kTextOk)), QDialogButtonBox::AcceptRole)
      ->setObjectName(QStringLiteral("btn_OK"));
  buttons->addButton(QString::fromStdString(s.text(kTextCancel)), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("btn_cancel"));
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
}

}  // namespace tarvo
