#include "interval_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

#include "link/meter_state.h"

namespace tarvo {
namespace {

class IntervalDialog : public ::testing::Test {
 protected:
  IntervalDialog() { s.LanguageBase = 1000; }

  QSlider* slider() const { return dialog.findChild<QSlider*>("trckbr_samp1"); }
  QLabel* label() const { return dialog.findChild<QLabel*>("lbl_Sampling"); }
  QPushButton* button(const char* name) const { return dialog.findChild<QPushButton*>(name); }

  // Runs the dialog with what the user does once it is open.
  std::optional<QString> run(std::function<void()> user) {
    QTimer::singleShot(0, &dialog, [user] { user(); });
    return run_interval_dialog(dialog, s);
  }

  MeterState s;
  TForm3 dialog;
};

TEST_F(IntervalDialog, OkStoresTheSliderValueAndGivesTheStatusText) {
  const auto status = run([this] {
    slider()->setValue(120);
    QTest::mouseClick(button("btn_OK"), Qt::LeftButton);
  });
  EXPECT_EQ(s.RecordInterval, 120);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, "Recording interval : 120 Seconds");
}

TEST_F(IntervalDialog, EnterPressesOkEvenWithoutAMove) {
  s.RecordInterval = 9;
  const auto status = run([this] { QTest::keyClick(&dialog, Qt::Key_Return); });
  EXPECT_EQ(s.RecordInterval, 9);
  EXPECT_EQ(status, QString("Recording interval : 9 Seconds"));
}

TEST_F(IntervalDialog, CancelEscapeAndTheCloseBoxStoreNothing) {
  const std::pair<const char*, std::function<void(TForm3&)>> ways[] = {
      {"cancel", [](TForm3& d) { d.findChild<QPushButton*>("btn_cancel")->click(); }},
      {"escape", [](TForm3& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
      {"close box", [](TForm3& d) { d.close(); }},
  };
  for (const auto& [way, leave] : ways) {
    s.RecordInterval = 7;
    const auto status = run([this, leave = leave] {
      slider()->setValue(60);
      leave(dialog);
    });
    EXPECT_EQ(s.RecordInterval, 7) << way;
    EXPECT_FALSE(status.has_value()) << way;
    dialog.FormShow(s);
    EXPECT_EQ(slider()->value(), 7) << way;
  }
}

TEST_F(IntervalDialog, OpensAtTheStoredIntervalWithinTheSliderRange) {
  const std::pair<std::int64_t, int> cases[] = {{1, 1}, {37, 37}, {120, 120}, {500, 120}, {0, 1}};
  for (const auto& [stored, shown] : cases) {
    s.RecordInterval = stored;
    dialog.FormShow(s);
    EXPECT_EQ(slider()->value(), shown) << stored;
    EXPECT_EQ(label()->text(), QString("Recording interval : %1 Seconds").arg(shown)) << stored;
  }
}

TEST_F(IntervalDialog, TextsFollowTheLanguageOfEachOpening) {
  struct Case {
    int base;
    const char* at_one;
    const char* at_five;
    const char* ok;
    const char* cancel;
  };
  const Case cases[] = {
      {2000, "记录间隔时间 : 1 秒", "记录间隔时间 : 5 秒", "确定", "取消"},
      {3000, "Intervalle de relevé : 1 seconde(s)", "Intervalle de relevé : 5 seconde(s)", "OK",
       "Annuler"},
      {4000, "Messintervall : 1 Sekunde(n)", "Messintervall : 5 Sekunde(n)", "OK", "Abbrechen"},
      {5000, "Intervalo de registro : 1 segundo(s)", "Intervalo de registro : 5 segundo(s)",
       "Aceptar", "Cancelar"},
  };
  for (const Case& c : cases) {
    s.LanguageBase = c.base;
    s.RecordInterval = 1;
    dialog.FormShow(s);
    EXPECT_EQ(label()->text(), c.at_one) << c.base;
    slider()->setValue(5);
    EXPECT_EQ(label()->text(), c.at_five) << c.base;
    EXPECT_EQ(button("btn_OK")->text(), c.ok) << c.base;
    EXPECT_EQ(button("btn_cancel")->text(), c.cancel) << c.base;
  }
}

TEST_F(IntervalDialog, TheLongestTextFitsTheLabel) {
  for (int base = 1000; base <= 5000; base += 1000) {
    s.LanguageBase = base;
    s.RecordInterval = 120;
    dialog.FormShow(s);
    EXPECT_LE(label()->fontMetrics().horizontalAdvance(label()->text()), label()->width()) << base;
  }
}

}  // namespace
}  // namespace tarvo
