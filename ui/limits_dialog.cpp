#include "limits_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "control_hints.h"
#include "i18n/text_numbers.h"
#include "message_box.h"
#include "window_placement.h"

namespace tarvo {

namespace {

QString text_of(const MeterState& s, int n) {
  return QString::fromStdString(s.text(n));
}

QString limit_text(const std::optional<double>& value, const std::string& separator) {
  if (!value) return {};
  QString text = QString::number(*value, 'g', 15);
  if (separator != ".") text.replace(QLatin1Char('.'), QString::fromStdString(separator));
  return text;
}

// The function and unit the limits are for: those of the newest reading.
std::optional<RunKey> key_to_limit(const MeterState& s) {
  if (s.log.count() == 0) return std::nullopt;
  return run_key_of(s.log[s.log.count()]);
}

}  // namespace

ParsedLimits parse_limit_texts(const LimitTexts& texts, const MeterState& s) {
  ParsedLimits out;
  const auto take = [&](const std::string& text, std::optional<double>& into) {
    const QString trimmed = QString::fromStdString(text).trimmed();
    if (trimmed.isEmpty() || !out.error.empty()) return;
    into = main_value(trimmed.toStdString(), s.DecimalSeparator);
    if (!into) {
      QString message = text_of(s, kTextNotANumber).arg(trimmed);
      out.error = message.toStdString();
    }
  };
  take(texts.high, out.high);
  take(texts.low, out.low);
  if (out.error.empty() && out.high && out.low && *out.low > *out.high) {
    out.error = s.text(kTextLowAboveHigh);
  }
  return out;
}

std::optional<LimitChoice> run_limits_dialog(QWidget* parent, const MeterState& s,
                                             const Limits& current, bool muted) {
  const std::optional<RunKey> key = key_to_limit(s);
  if (!key) {
    show_message_box(parent, MessageKind::Warning, s.text(kTextNoReadingForLimits));
    return std::nullopt;
  }
  const bool same = current.key == *key;
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("dlgLimits"));
  dialog.setWindowTitle(text_of(s, kTextLimitsTitle));
  auto* form = new QFormLayout(&dialog);
  auto* what = new QLabel(
      text_of(s, kTextLimitsFor).arg(QString::fromStdString(key->function + " " + key->unit)));
  what->setObjectName(QStringLiteral("LimitsFor"));
  form->addRow(what);
  auto* high = new QLineEdit(same ? limit_text(current.high, s.DecimalSeparator) : QString());
  auto* low = new QLineEdit(same ? limit_text(current.low, s.DecimalSeparator) : QString());
  high->setObjectName(QStringLiteral("HighLimit"));
  low->setObjectName(QStringLiteral("LowLimit"));
  form->addRow(text_of(s, kTextHighLimit), high);
  form->addRow(text_of(s, kTextLowLimit), low);
  auto* mute = new QCheckBox(text_of(s, kTextMuteAlarm));
  mute->setObjectName(QStringLiteral("MuteAlarm"));
  mute->setChecked(muted);
  form->addRow(mute);
  auto* error = new QLabel;
  error->setObjectName(QStringLiteral("LimitsError"));
  error->setStyleSheet(QStringLiteral("color: #b00000"));
  form->addRow(error);
  auto* buttons = new QDialogButtonBox(&dialog);
  buttons->addButton(text_of(s, kTextOk), QDialogButtonBox::AcceptRole)
      ->setObjectName(QStringLiteral("btn_OK"));
  buttons->addButton(text_of(s, kTextCancel), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("btn_cancel"));
  form->addRow(buttons);
  apply_control_hints(dialog, s);

  std::optional<LimitChoice> choice;
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    const ParsedLimits parsed =
        parse_limit_texts({high->text().toStdString(), low->text().toStdString()}, s);
    if (!parsed.error.empty()) {
      error->setText(QString::fromStdString(parsed.error));
      return;
    }
    choice = LimitChoice{{*key, parsed.high, parsed.low}, mute->isChecked()};
    dialog.accept();
  });
  dialog.adjustSize();
  place_beside_parent(dialog);
  dialog.exec();
  return choice;
}

}  // namespace tarvo
