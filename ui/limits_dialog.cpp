#include "limits_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "alarm/alarm_command.h"
#include "control_hints.h"
#include "dialog_rows.h"
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

// A hysteresis or a time of 0 is shown as an empty field: none.
QString timing_text(double value, const std::string& separator) {
  return value > 0 ? limit_text(value, separator) : QString();
}

QLineEdit* add_field(QFormLayout& form, const MeterState& s, int label, const char* name,
                     const QString& text) {
  auto* edit = new QLineEdit(text);
  edit->setObjectName(QLatin1String(name));
  form.addRow(text_of(s, label), edit);
  return edit;
}

// The function and unit the limits are for: those of the newest reading.
std::optional<RunKey> key_to_limit(const MeterState& s) {
  if (s.log.count() == 0) return std::nullopt;
  return run_key_of(s.log[s.log.count()]);
}

// Reads one text into `into`; an empty text leaves it as it is. Once one
// text is wrong the others are not looked at: the message names the first.
class LimitParser {
 public:
  LimitParser(const MeterState& s, ParsedLimits& out) : s_(s), out_(out) {}

  void number(const std::string& text, std::optional<double>& into) {
    const QString trimmed = QString::fromStdString(text).trimmed();
    if (trimmed.isEmpty() || !out_.error.empty()) return;
    into = main_value(trimmed.toStdString(), s_.DecimalSeparator);
    if (!into) fail(kTextNotANumber, trimmed);
  }
  void not_negative(const std::string& text, double& into) {
    std::optional<double> value;
    number(text, value);
    if (!value) return;
    if (*value < 0) return fail(kTextNegative, QString::fromStdString(text).trimmed());
    into = *value;
  }

 private:
  void fail(int message, const QString& text) {
    out_.error = text_of(s_, message).arg(text).toStdString();
  }

  const MeterState& s_;
  ParsedLimits& out_;
};

}  // namespace

ParsedLimits parse_limit_texts(const LimitTexts& texts, const MeterState& s) {
  ParsedLimits out;
  LimitParser parser(s, out);
  parser.number(texts.high, out.high);
  parser.number(texts.low, out.low);
  parser.not_negative(texts.hysteresis, out.hysteresis);
  parser.not_negative(texts.min_duration, out.min_duration);
  parser.not_negative(texts.stale, out.stale);
  if (!out.error.empty() || !out.high || !out.low) return out;
  if (*out.low > *out.high) {
    out.error = s.text(kTextLowAboveHigh);
  } else if (out.hysteresis > 0 && out.hysteresis >= *out.high - *out.low) {
    // A value coming back from one limit would have to pass the other one
    // first: the excursion could end only by starting the next.
    out.error = s.text(kTextHysteresisTooWide);
  }
  return out;
}

namespace {

struct LimitFields {
  QLineEdit *high, *low, *hysteresis, *min_duration, *stale;
  QCheckBox* mute;
  QCheckBox *notices, *to_broker;
  QLineEdit* command;

  AlarmActions actions() const {
    return {notices->isChecked(), to_broker->isChecked(), command->text().trimmed().toStdString()};
  }

  LimitTexts texts() const {
    const auto text = [](const QLineEdit* edit) { return edit->text().toStdString(); };
    return {text(high), text(low), text(hysteresis), text(min_duration), text(stale)};
  }
};

// The limits and the hysteresis are shown only for the function and unit
// they were set for; the times hold for any.
LimitFields add_fields(QFormLayout& form, const MeterState& s, const LimitChoice& current,
                       bool same_key) {
  const std::string& separator = s.DecimalSeparator;
  LimitFields f{};
  f.high = add_field(form, s, kTextHighLimit, "HighLimit",
                     same_key ? limit_text(current.limits.high, separator) : QString());
  f.low = add_field(form, s, kTextLowLimit, "LowLimit",
                    same_key ? limit_text(current.limits.low, separator) : QString());
  f.hysteresis = add_field(form, s, kTextHysteresis, "Hysteresis",
                           same_key ? timing_text(current.hysteresis, separator) : QString());
  f.min_duration = add_field(form, s, kTextMinDuration, "MinDuration",
                             timing_text(current.min_duration, separator));
  f.stale =
      add_field(form, s, kTextStaleAfter, "StaleAfter", timing_text(current.stale, separator));
  f.mute = new QCheckBox(text_of(s, kTextMuteAlarm));
  f.mute->setObjectName(QStringLiteral("MuteAlarm"));
  f.mute->setChecked(current.muted);
  form.addRow(f.mute);
  f.notices = new QCheckBox(text_of(s, kTextAlarmNotices));
  f.notices->setObjectName(QStringLiteral("AlarmNotices"));
  f.notices->setChecked(current.actions.notices);
  form.addRow(f.notices);
  f.to_broker = new QCheckBox(text_of(s, kTextAlarmsToBroker));
  f.to_broker->setObjectName(QStringLiteral("AlarmsToBroker"));
  f.to_broker->setChecked(current.actions.to_broker);
  form.addRow(f.to_broker);
  f.command = add_field(form, s, kTextAlarmCommand, "AlarmCommand",
                        QString::fromStdString(current.actions.command));
  f.command->setMinimumWidth(f.command->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 32);
  return f;
}

}  // namespace

std::optional<LimitChoice> run_limits_dialog(QWidget* parent, const MeterState& s,
                                             const LimitChoice& current) {
  const std::optional<RunKey> key = key_to_limit(s);
  if (!key) {
    show_message_box(parent, MessageKind::Warning, s.text(kTextNoReadingForLimits));
    return std::nullopt;
  }
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("dlgLimits"));
  dialog.setWindowTitle(text_of(s, kTextLimitsTitle));
  auto* form = new QFormLayout(&dialog);
  auto* what = new QLabel(
      text_of(s, kTextLimitsFor).arg(QString::fromStdString(key->function + " " + key->unit)));
  what->setObjectName(QStringLiteral("LimitsFor"));
  form->addRow(what);
  const LimitFields fields = add_fields(*form, s, current, current.limits.key == *key);
  QLabel* error = make_error_line("LimitsError");
  form->addRow(error);
  QDialogButtonBox* buttons = make_ok_cancel(dialog, s);
  form->addRow(buttons);
  apply_control_hints(dialog, s);

  std::optional<LimitChoice> choice;
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    const ParsedLimits parsed = parse_limit_texts(fields.texts(), s);
    if (!parsed.error.empty()) {
      error->setText(QString::fromStdString(parsed.error));
      return;
    }
    if (!split_command(fields.actions().command)) {
      error->setText(text_of(s, kTextCommandQuoteOpen));
      return;
    }
    choice = LimitChoice{
        {*key, parsed.high, parsed.low}, parsed.hysteresis, parsed.min_duration, parsed.stale,
        fields.mute->isChecked(),        fields.actions()};
    dialog.accept();
  });
  dialog.adjustSize();
  place_beside_parent(dialog);
  dialog.exec();
  return choice;
}

}  // namespace tarvo
