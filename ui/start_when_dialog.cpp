#include "start_when_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "control_hints.h"
#include "dialog_rows.h"
#include "i18n/text_numbers.h"
#include "log/reading_value.h"
#include "window_placement.h"

namespace tarvo {

namespace {

constexpr int kMaxPretrigger = 100000;

QString text_of(const MeterState& s, int n) {
  return QString::fromStdString(s.text(n));
}

std::string trimmed(const std::string& text) {
  return QString::fromStdString(text).trimmed().toStdString();
}

// A level typed in the program's decimal separator, else the error.
std::optional<TriggerCondition> level_condition(TriggerCondition::Kind kind,
                                                const std::string& text, const MeterState& s,
                                                std::string& error) {
  const std::optional<double> level = main_value(trimmed(text), s.DecimalSeparator);
  if (!level) {
    error = text_of(s, kTextNotANumber).arg(QString::fromStdString(trimmed(text))).toStdString();
    return std::nullopt;
  }
  return TriggerCondition{kind, *level, 0};
}

std::optional<TriggerCondition> start_condition(const StartWhenTexts& t, const MeterState& s,
                                                std::string& error) {
  if (t.start != StartChoice::At) {
    const auto kind = t.start == StartChoice::Rises ? TriggerCondition::Kind::Rises
                                                    : TriggerCondition::Kind::Falls;
    return level_condition(kind, t.start_value, s, error);
  }
  std::string why;
  auto condition = parse_trigger("at:" + trimmed(t.start_value), why);
  if (!condition) error = s.text(kTextBadTimeOfDay);
  return condition;
}

// A bare number is seconds here: the count of readings has its own choice.
std::optional<StopAfter> stop_after(const StartWhenTexts& t, const MeterState& s,
                                    std::string& error) {
  std::string text = trimmed(t.stop_value);
  const bool bare = !text.empty() && std::isdigit(static_cast<unsigned char>(text.back()));
  if (t.stop == StopChoice::Duration && bare) text += 's';
  const bool wrong_kind = t.stop == StopChoice::Readings && !bare;
  std::string why;
  auto stop = wrong_kind ? std::nullopt : parse_stop_after(text, why);
  if (!stop) error = s.text(kTextBadStopAfter);
  return stop;
}

bool add_stop(GateRule& rule, const StartWhenTexts& t, const MeterState& s, std::string& error) {
  switch (t.stop) {
    case StopChoice::Never:
      return true;
    case StopChoice::Readings:
    case StopChoice::Duration: {
      const auto stop = stop_after(t, s, error);
      if (stop) rule.stop_after = *stop;
      return stop.has_value();
    }
    case StopChoice::Rises:
    case StopChoice::Falls:
      rule.stop_when = level_condition(t.stop == StopChoice::Rises ? TriggerCondition::Kind::Rises
                                                                   : TriggerCondition::Kind::Falls,
                                       t.stop_value, s, error);
      return rule.stop_when.has_value();
  }
  return false;
}

std::string level_text(double level, const MeterState& s) {
  QString number = QString::number(level, 'g', 15);
  if (s.DecimalSeparator != ".") {
    number.replace(QLatin1Char('.'), QString::fromStdString(s.DecimalSeparator));
  }
  const std::string_view unit = run_fields(s.reading.Main_Range).unit;
  return unit.empty() ? number.toStdString() : number.toStdString() + " " + std::string(unit);
}

std::string clock_text(std::int32_t seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", seconds / 3600, seconds / 60 % 60);
  std::string out = text;
  if (seconds % 60 != 0) {
    std::snprintf(text, sizeof text, ":%02d", seconds % 60);
    out += text;
  }
  return out;
}

}  // namespace

ParsedStartWhen parse_start_when(const StartWhenTexts& texts, const MeterState& s) {
  ParsedStartWhen out;
  const std::optional<TriggerCondition> start = start_condition(texts, s, out.error);
  if (!start) return out;
  GateRule rule{*start,
                static_cast<std::size_t>(std::clamp(texts.pretrigger, 0, kMaxPretrigger)),
                std::nullopt,
                {}};
  if (add_stop(rule, texts, s, out.error)) out.rule = rule;
  return out;
}

std::string gate_status_text(const GateRule& rule, GateState state, const std::string& triggered_at,
                             const MeterState& s) {
  if (state == GateState::Done) return {};
  if (state == GateState::Recording) {
    return text_of(s, kTextTriggeredAt).arg(QString::fromStdString(triggered_at)).toStdString();
  }
  const TriggerCondition& c = rule.start;
  const int text = c.kind == TriggerCondition::Kind::Rises   ? kTextArmedRises
                   : c.kind == TriggerCondition::Kind::Falls ? kTextArmedFalls
                                                             : kTextArmedAt;
  const std::string what =
      c.kind == TriggerCondition::Kind::At ? clock_text(c.time_of_day) : level_text(c.level, s);
  return text_of(s, text).arg(QString::fromStdString(what)).toStdString();
}

namespace {

QComboBox* choices(const MeterState& s, std::initializer_list<int> texts, int current,
                   const char* name) {
  auto* box = new QComboBox;
  box->setObjectName(QLatin1String(name));
  for (const int n : texts) box->addItem(text_of(s, n));
  box->setCurrentIndex(current);
  return box;
}

QLineEdit* value_edit(const std::string& text, const char* name) {
  auto* edit = new QLineEdit(QString::fromStdString(text));
  edit->setObjectName(QLatin1String(name));
  // Room for a level, a time of day or a count, however long the choice beside it.
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-00000.0000")) + 12);
  return edit;
}

// A choice, its value and the unit the value is in, on one line.
QWidget* row_of(QComboBox* choice, QLineEdit* value, QLabel* unit) {
  auto* row = new QWidget;
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  line->addWidget(choice);
  line->addWidget(value, 1);
  line->addWidget(unit);
  return row;
}

struct StartWhenFields {
  QComboBox* start;
  QLineEdit* start_value;
  QLabel* start_unit;
  QSpinBox* pretrigger;
  QComboBox* stop;
  QLineEdit* stop_value;
  QLabel* stop_unit;

  StartWhenTexts texts() const {
    return {static_cast<StartChoice>(start->currentIndex()), start_value->text().toStdString(),
            pretrigger->value(), static_cast<StopChoice>(stop->currentIndex()),
            stop_value->text().toStdString()};
  }
  // The unit goes with a level; the stop's value is there when a stop needs one.
  void follow_choices(const QString& unit) const {
    start_unit->setText(start->currentIndex() == static_cast<int>(StartChoice::At) ? QString()
                                                                                   : unit);
    const auto stop_choice = static_cast<StopChoice>(stop->currentIndex());
    const bool level = stop_choice == StopChoice::Rises || stop_choice == StopChoice::Falls;
    stop_unit->setText(level ? unit : QString());
    stop_value->setEnabled(stop_choice != StopChoice::Never);
  }
};

StartWhenFields build_fields(QFormLayout* form, const MeterState& s, const StartWhenTexts& last) {
  StartWhenFields f{};
  f.start = choices(s, {kTextStartRises, kTextStartFalls, kTextStartAt},
                    static_cast<int>(last.start), "StartCondition");
  f.start_value = value_edit(last.start_value, "StartValue");
  f.start_unit = new QLabel;
  f.pretrigger = new QSpinBox;
  f.pretrigger->setObjectName(QStringLiteral("Pretrigger"));
  f.pretrigger->setRange(0, kMaxPretrigger);
  f.pretrigger->setValue(last.pretrigger);
  f.stop = choices(
      s, {kTextStopNever, kTextStopReadings, kTextStopDuration, kTextStopRises, kTextStopFalls},
      static_cast<int>(last.stop), "StopCondition");
  f.stop_value = value_edit(last.stop_value, "StopValue");
  f.stop_unit = new QLabel;
  form->addRow(text_of(s, kTextStartWhenLabel), row_of(f.start, f.start_value, f.start_unit));
  form->addRow(text_of(s, kTextPretrigger), f.pretrigger);
  form->addRow(text_of(s, kTextStopLabel), row_of(f.stop, f.stop_value, f.stop_unit));
  return f;
}

}  // namespace

std::optional<StartWhenChoice> run_start_when_dialog(QWidget* parent, const MeterState& s,
                                                     const StartWhenTexts& last) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("dlgStartWhen"));
  dialog.setWindowTitle(text_of(s, kTextStartWhenTitle));
  auto* form = new QFormLayout(&dialog);
  const StartWhenFields fields = build_fields(form, s, last);
  const QString unit = QString::fromUtf8(run_fields(s.reading.Main_Range).unit);
  const auto follow = [&fields, unit] { fields.follow_choices(unit); };
  follow();
  QObject::connect(fields.start, &QComboBox::currentIndexChanged, &dialog, follow);
  QObject::connect(fields.stop, &QComboBox::currentIndexChanged, &dialog, follow);
  QLabel* error = make_error_line("StartWhenError");
  form->addRow(error);
  QDialogButtonBox* buttons = make_ok_cancel(dialog, s);
  form->addRow(buttons);
  apply_control_hints(dialog, s);

  std::optional<StartWhenChoice> choice;
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    const StartWhenTexts texts = fields.texts();
    const ParsedStartWhen parsed = parse_start_when(texts, s);
    if (!parsed.rule) {
      error->setText(QString::fromStdString(parsed.error));
      return;
    }
    choice = StartWhenChoice{texts, *parsed.rule};
    dialog.accept();
  });
  dialog.adjustSize();
  place_beside_parent(dialog);
  dialog.exec();
  return choice;
}

}  // namespace tarvo
