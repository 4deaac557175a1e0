#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "i18n/language_table.h"
#include "start_when_dialog.h"

namespace tarvo {
namespace {

using Kind = TriggerCondition::Kind;

MeterState comma_state() {
  MeterState s;
  s.DecimalSeparator = ",";
  s.LanguageBase = LanguageTable::kEnglish;
  return s;
}

struct RuleCase {
  StartWhenTexts texts;
  Kind start;
  double level;
  std::int32_t time_of_day;
  std::int64_t stop_readings;
  double stop_seconds;
  std::optional<double> stop_level;
};

// What the dialog's choices and texts make, in the program's decimal separator.
TEST(StartWhenChoices, MakeTheRule) {
  const MeterState s = comma_state();
  const RuleCase cases[] = {
      {{StartChoice::Rises, " 2,5 ", 10, StopChoice::Never, ""}, Kind::Rises, 2.5, 0, 0, 0, {}},
      {{StartChoice::Falls, "-0,25", 0, StopChoice::Readings, "500"},
       Kind::Falls,
       -0.25,
       0,
       500,
       0,
       {}},
      {{StartChoice::At, "07:30", 3, StopChoice::Duration, "90"}, Kind::At, 0, 27000, 0, 90, {}},
      {{StartChoice::At, "23:59:59", 0, StopChoice::Duration, "15m"},
       Kind::At,
       0,
       86399,
       0,
       900,
       {}},
      {{StartChoice::Rises, "1", 0, StopChoice::Falls, "0,5"}, Kind::Rises, 1, 0, 0, 0, 0.5},
      {{StartChoice::Rises, "1", 200000, StopChoice::Never, ""}, Kind::Rises, 1, 0, 0, 0, {}},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.texts.start_value + " / " + c.texts.stop_value);
    const ParsedStartWhen parsed = parse_start_when(c.texts, s);
    ASSERT_TRUE(parsed.rule) << parsed.error;
    const GateRule& r = *parsed.rule;
    EXPECT_EQ(r.start.kind, c.start);
    EXPECT_DOUBLE_EQ(r.start.level, c.level);
    EXPECT_EQ(r.start.time_of_day, c.time_of_day);
    EXPECT_EQ(r.pretrigger, static_cast<std::size_t>(std::min(c.texts.pretrigger, 100000)));
    EXPECT_EQ(r.stop_after.readings, c.stop_readings);
    EXPECT_DOUBLE_EQ(r.stop_after.seconds, c.stop_seconds);
    EXPECT_EQ(r.stop_when.has_value(), c.stop_level.has_value());
    if (r.stop_when && c.stop_level) {
      EXPECT_DOUBLE_EQ(r.stop_when->level, *c.stop_level);
    }
  }
}

// Each wrong text is refused with the reason in the current language.
TEST(StartWhenChoices, RefuseWhatIsNoRule) {
  const MeterState s = comma_state();
  const std::pair<StartWhenTexts, std::string> cases[] = {
      {{StartChoice::Rises, "2,5,1", 0, StopChoice::Never, ""}, "2,5,1"},
      {{StartChoice::Falls, "", 0, StopChoice::Never, ""}, ""},
      {{StartChoice::At, "25:00", 0, StopChoice::Never, ""}, "hh:mm"},
      {{StartChoice::At, "7", 0, StopChoice::Never, ""}, "hh:mm"},
      {{StartChoice::Rises, "1", 0, StopChoice::Readings, "15m"}, "90s"},
      {{StartChoice::Rises, "1", 0, StopChoice::Readings, "0"}, "90s"},
      {{StartChoice::Rises, "1", 0, StopChoice::Duration, "2d"}, "90s"},
      {{StartChoice::Rises, "1", 0, StopChoice::Rises, "high"}, "high"},
  };
  for (const auto& [texts, mentions] : cases) {
    SCOPED_TRACE(texts.start_value + " / " + texts.stop_value);
    const ParsedStartWhen parsed = parse_start_when(texts, s);
    EXPECT_FALSE(parsed.rule);
    EXPECT_NE(parsed.error.find(mentions), std::string::npos) << parsed.error;
  }
}

TEST(StartWhenStatus, SaysWhatTheGateWaitsForInTheMetersUnit) {
  MeterState s = comma_state();
  s.reading.Main_Range = "DCV AUTO 5.0000 V";
  const GateRule rises{{Kind::Rises, 2.5, 0}, 0, std::nullopt, {}};
  const GateRule at{{Kind::At, 0, 7 * 3600 + 30 * 60 + 5}, 0, std::nullopt, {}};
  EXPECT_EQ(gate_status_text(rises, GateState::Armed, "", s),
            "Armed: the log starts when the value rises above 2,5 V");
  EXPECT_EQ(gate_status_text(at, GateState::Armed, "", s), "Armed: the log starts at 07:30:05");
  EXPECT_EQ(gate_status_text(rises, GateState::Recording, "10:11:12", s),
            "Triggered at 10:11:12: the log runs");
  EXPECT_EQ(gate_status_text(rises, GateState::Done, "10:11:12", s), "");
}

// The dialog's lists are in the order of the choices; a wrong text keeps it
// open with the reason, a good one closes it with its rule.
TEST(StartWhenDialog, RefusesABadTimeThenTakesTheChoice) {
  MeterState s = comma_state();
  s.reading.Main_Range = "DCV AUTO 5.0000 V";
  QString first_error;
  QString unit_beside_level;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    auto* start = dialog->findChild<QComboBox*>("StartCondition");
    auto* stop = dialog->findChild<QComboBox*>("StopCondition");
    auto* ok = dialog->findChild<QPushButton*>("btn_OK");
    unit_beside_level = dialog->findChild<QLineEdit*>("StartValue")
                            ->parentWidget()
                            ->findChildren<QLabel*>()
                            .constFirst()
                            ->text();
    start->setCurrentIndex(2);
    dialog->findChild<QLineEdit*>("StartValue")->setText("25:00");
    dialog->findChild<QSpinBox*>("Pretrigger")->setValue(250);
    stop->setCurrentIndex(4);
    dialog->findChild<QLineEdit*>("StopValue")->setText("0,5");
    ok->click();
    first_error = dialog->findChild<QLabel*>("StartWhenError")->text();
    dialog->findChild<QLineEdit*>("StartValue")->setText("07:30");
    ok->click();
  });
  const auto choice = run_start_when_dialog(nullptr, s, {});
  EXPECT_EQ(unit_beside_level, "V");
  EXPECT_EQ(first_error.toStdString(), "Give the time as hh:mm or hh:mm:ss.");
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->texts.start, StartChoice::At);
  EXPECT_EQ(choice->texts.stop, StopChoice::Falls);
  EXPECT_EQ(choice->rule.start.kind, Kind::At);
  EXPECT_EQ(choice->rule.start.time_of_day, 27000);
  EXPECT_EQ(choice->rule.pretrigger, 250u);
  ASSERT_TRUE(choice->rule.stop_when);
  EXPECT_EQ(choice->rule.stop_when->kind, Kind::Falls);
  EXPECT_DOUBLE_EQ(choice->rule.stop_when->level, 0.5);
}

}  // namespace
}  // namespace tarvo
