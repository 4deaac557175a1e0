#include "limits_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "link/meter_state.h"
#include "link/polling_cycle.h"
#include "link/test_frame.h"

namespace tarvo {
namespace {

constexpr double kNone = NAN;  // a limit left empty

std::optional<double> limit(double value) {
  return std::isnan(value) ? std::nullopt : std::optional<double>(value);
}

struct ParseCase {
  const char* separator;
  LimitTexts texts;
  double high, low, hysteresis, min_duration, stale;
  const char* error;  // English; empty for good texts
};

// Each text alone, in both decimal separators, and the checks between them.
const ParseCase kParseCases[] = {
    {".", {"", "", "", "", ""}, kNone, kNone, 0, 0, 0, ""},
    {".", {"1.5", "-2", "0.05", "3", "30"}, 1.5, -2, 0.05, 3, 30, ""},
    {".", {" 1.5 ", "", " 0.25", "0.5 ", " 10 "}, 1.5, kNone, 0.25, 0.5, 10, ""},
    {".", {"", "", "0", "0", "0"}, kNone, kNone, 0, 0, 0, ""},
    {",", {"1,5", "-0,25", "0,05", "2,5", "60"}, 1.5, -0.25, 0.05, 2.5, 60, ""},
    {".", {"1,5", "", "", "", ""}, kNone, kNone, 0, 0, 0, "Not a number: 1,5"},
    {".", {"", "", "0,1", "", ""}, kNone, kNone, 0, 0, 0, "Not a number: 0,1"},
    {".", {"", "", "", "ten", ""}, kNone, kNone, 0, 0, 0, "Not a number: ten"},
    {".", {"", "", "", "", "1e3"}, kNone, kNone, 0, 0, 0, "Not a number: 1e3"},
    {".", {"", "", "-0.1", "", ""}, kNone, kNone, 0, 0, 0, "Must not be negative: -0.1"},
    {".", {"", "", "", "-2", ""}, kNone, kNone, 0, 0, 0, "Must not be negative: -2"},
    {",", {"", "", "", "", " -1,5"}, kNone, kNone, 0, 0, 0, "Must not be negative: -1,5"},
    // The first wrong text is named, not a later one.
    {".", {"x", "", "-1", "", ""}, kNone, kNone, 0, 0, 0, "Not a number: x"},
    {".", {"1", "2", "", "", ""}, 1, 2, 0, 0, 0, "The low limit is above the high limit."},
    {".",
     {"1", "0", "1", "", ""},
     1,
     0,
     1,
     0,
     0,
     "The hysteresis must be smaller than the gap between the limits."},
    {".", {"1", "0", "0.999", "", ""}, 1, 0, 0.999, 0, 0, ""},
    {".", {"1", "", "5", "", ""}, 1, kNone, 5, 0, 0, ""},  // one limit: any hysteresis
};

TEST(LimitTexts, AreReadInTheProgramsDecimalSeparator) {
  MeterState s;
  s.LanguageBase = 1000;
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(c.texts.high + "|" + c.texts.low + "|" + c.texts.hysteresis + "|" +
                 c.texts.min_duration + "|" + c.texts.stale + " sep " + c.separator);
    s.DecimalSeparator = c.separator;
    const ParsedLimits parsed = parse_limit_texts(c.texts, s);
    EXPECT_EQ(parsed.error, c.error);
    if (*c.error != '\0') continue;
    EXPECT_EQ(parsed.high, limit(c.high));
    EXPECT_EQ(parsed.low, limit(c.low));
    EXPECT_EQ(parsed.hysteresis, c.hysteresis);
    EXPECT_EQ(parsed.min_duration, c.min_duration);
    EXPECT_EQ(parsed.stale, c.stale);
  }
}

TEST(LimitTexts, MessagesAreInTheCurrentLanguage) {
  MeterState s;
  s.DecimalSeparator = ",";
  s.LanguageBase = 4000;
  EXPECT_EQ(parse_limit_texts({"", "", "-1", "", ""}, s).error, "Darf nicht negativ sein: -1");
  s.LanguageBase = 3000;
  EXPECT_EQ(parse_limit_texts({"1", "0", "2", "", ""}, s).error,
            "L'hystérésis doit être inférieure à l'écart entre les limites.");
}

// The dialog shows what is set and gives back what the user typed; a wrong
// text keeps it open with its message.
class LimitsDialogRun : public ::testing::Test {
 protected:
  LimitsDialogRun() {
    s.LanguageBase = 1000;
    s.DecimalSeparator = ",";
    s.model = MeterModel::ModelTarvo;
    s.rx.assign(parse_test_text("A0 00 30 00 00 04 02 05 04 00 00 00 5B 00"));
    EXPECT_TRUE(decode_frame(s));
    commit_reading(s, nullptr);
  }
  static QLineEdit* field(const char* name) {
    return QApplication::activeModalWidget()->findChild<QLineEdit*>(name);
  }
  static void press_ok() {
    QApplication::activeModalWidget()
        ->findChild<QDialogButtonBox*>()
        ->buttons()
        .constFirst()
        ->click();
  }

  MeterState s;
};

TEST_F(LimitsDialogRun, ShowsTheSettingsAndReturnsTheTypedOnes) {
  const LimitChoice current{{{"ACV", "V"}, 0.5, std::nullopt},     0.01, 2, 30, false,
                            {false, true, "notify-send 'bench 1'"}};
  QStringList shown;
  QString error_after_bad;
  QTimer::singleShot(0, [&] {
    for (const char* name :
         {"HighLimit", "LowLimit", "Hysteresis", "MinDuration", "StaleAfter", "AlarmCommand"}) {
      shown << field(name)->text();
    }
    QWidget* dialog = QApplication::activeModalWidget();
    shown << (dialog->findChild<QCheckBox*>("AlarmNotices")->isChecked() ? "notices" : "-");
    shown << (dialog->findChild<QCheckBox*>("AlarmsToBroker")->isChecked() ? "broker" : "-");
    dialog->findChild<QCheckBox*>("AlarmNotices")->setChecked(true);
    dialog->findChild<QCheckBox*>("AlarmsToBroker")->setChecked(false);
    field("AlarmCommand")->setText("  logger -t \"bench A\"  ");
    field("Hysteresis")->setText("-0,5");
    press_ok();
    error_after_bad = QApplication::activeModalWidget()->findChild<QLabel*>("LimitsError")->text();
    field("Hysteresis")->setText("0,002");
    field("MinDuration")->setText("");
    field("StaleAfter")->setText("7,5");
    press_ok();
  });
  const std::optional<LimitChoice> chosen = run_limits_dialog(nullptr, s, current);
  EXPECT_EQ(shown,
            (QStringList{"0,5", "", "0,01", "2", "30", "notify-send 'bench 1'", "-", "broker"}));
  EXPECT_EQ(error_after_bad, "Must not be negative: -0,5");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->limits.key, (RunKey{"ACV", "V"}));
  EXPECT_EQ(chosen->limits.high, 0.5);
  EXPECT_EQ(chosen->hysteresis, 0.002);
  EXPECT_EQ(chosen->min_duration, 0);
  EXPECT_EQ(chosen->stale, 7.5);
  EXPECT_EQ(chosen->actions, (AlarmActions{true, false, "logger -t \"bench A\""}));
}

// Limits of another function and unit are not shown for this one, nor is
// their hysteresis; the times hold for any reading.
TEST_F(LimitsDialogRun, ForAnotherFunctionOnlyTheTimesAreShown) {
  const LimitChoice current{{{"DCV", "V"}, 0.5, 0.1}, 0.01, 2, 30, true, {}};
  QStringList shown;
  bool muted = false;
  QTimer::singleShot(0, [&] {
    for (const char* name : {"HighLimit", "LowLimit", "Hysteresis", "MinDuration", "StaleAfter"}) {
      shown << field(name)->text();
    }
    muted = QApplication::activeModalWidget()->findChild<QCheckBox*>("MuteAlarm")->isChecked();
    QApplication::activeModalWidget()->findChild<QDialogButtonBox*>()->buttons().at(1)->click();
  });
  EXPECT_FALSE(run_limits_dialog(nullptr, s, current));
  EXPECT_EQ(shown, (QStringList{"", "", "", "2", "30"}));
  EXPECT_TRUE(muted);
}

}  // namespace
}  // namespace tarvo
