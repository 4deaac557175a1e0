#include "about_box.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <string>

#include "link/meter_state.h"

namespace tarvo {
namespace {

class AboutBox : public ::testing::Test {
 protected:
  MeterState s;
  TForm5 box;
};

TEST_F(AboutBox, EnglishTextHasTheSevenLinesEachEndedByCrLf) {
  const std::string stars(34, '*');
  EXPECT_EQ(about_text(s.languages, 1000), stars +
                                               "\r\n \r\n50000counts Bench Multimeter\r\n \r\n"
                                               "Linker Software version 1.0\r\n \r\n" +
                                               stars + "\r\n");
}

TEST_F(AboutBox, EveryLanguageHasSevenLines) {
  for (int base = 1000; base <= 5000; base += 1000) {
    const std::string text = about_text(s.languages, base);
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2)) {
      ++lines;
    }
    EXPECT_EQ(lines, 7u) << base;
    EXPECT_TRUE(text.ends_with("\r\n")) << base;
  }
}

TEST_F(AboutBox, NoLanguageGivesAnEmptyText) {
  EXPECT_EQ(about_text(s.languages, 0), "");
}

TEST_F(AboutBox, FrenchReadsAsTranslated) {
  s.LanguageBase = 3000;
  box.FormShow(s);
  EXPECT_EQ(box.windowTitle(), "À propos");
  EXPECT_EQ(box.button()->text(), "OK");
  const QStringList lines = box.label()->text().split('\n');
  ASSERT_GE(lines.size(), 7);
  EXPECT_EQ(lines[2], "Multimètre de table 50000 points");
  EXPECT_EQ(lines[4], "Logiciel de liaison version 1.0");
}

TEST_F(AboutBox, EveryLanguageFitsTheLabel) {
  for (int base = 1000; base <= 5000; base += 1000) {
    s.LanguageBase = base;
    box.FormShow(s);
    const QString shown = box.label()->text().trimmed();
    const QRect needed = box.label()->fontMetrics().boundingRect(QRect(), 0, shown);
    EXPECT_LE(needed.width(), box.label()->width()) << base;
    EXPECT_LE(needed.height(), box.label()->height()) << base;
    // Only as small as needed: one pixel more would not fit, or it is the design size.
    QFont larger = box.label()->font();
    const int pixels = larger.pixelSize();
    ASSERT_LE(pixels, 20) << base;
    if (pixels == 20) continue;
    larger.setPixelSize(pixels + 1);
    const QRect too_big = QFontMetrics(larger).boundingRect(QRect(), 0, shown);
    EXPECT_TRUE(too_big.width() > box.label()->width() || too_big.height() > box.label()->height())
        << base;
  }
}

TEST_F(AboutBox, ButtonClosesTheModalBox) {
  s.LanguageBase = 1000;
  bool was_modal = false;
  QTimer::singleShot(0, &box, [this, &was_modal] {
    was_modal = box.isModal() && box.isVisible();
    box.button()->click();
  });
  show_about_box(box, s);
  EXPECT_TRUE(was_modal);
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(box.button()->text(), "OK");
  EXPECT_EQ(box.windowTitle(), "About");
}

}  // namespace
}  // namespace tarvo
