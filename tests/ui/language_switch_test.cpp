#include "language_switch.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QFontInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStringList>
#include <map>
#include <memory>

#include "design_font.h"
#include "link/meter_state.h"

namespace tarvo {
namespace {

enum class Kind { Menu, Item, Button, Edit };

struct Control {
  const char* name;
  Kind kind;
  int string;  // the text it shows after a switch; -1 for one the switch must leave alone
  const char* parent = nullptr;
};

// The main window's named controls as the program builds them, with the
// string number each one takes from a language switch.
constexpr Control kControls[] = {
    {"File1", Kind::Menu, 0},
    {"MMU_Open", Kind::Item, 2, "File1"},
    {"SAVE_AS", Kind::Item, 4, "File1"},
    {"Exit1", Kind::Item, 5, "File1"},
    {"mmu_set_lan", Kind::Menu, 8},
    {"mmu_set", Kind::Menu, 1},
    {"sys_set", Kind::Item, 27, "mmu_set"},
    {"Help1", Kind::Menu, 6},
    {"mni_Help_M", Kind::Item, 26, "Help1"},
    {"mni_Help_About", Kind::Item, 7, "Help1"},
    {"mni_debug", Kind::Item, -1, "Help1"},
    {"Btn_Start", Kind::Button, 101},
    {"Btn_STOP", Kind::Button, 102},
    {"Btn_Reset", Kind::Button, 103},
    {"Btn_EXT", Kind::Button, 104},
    {"btn_test", Kind::Button, -1},
    {"Max_Tilt", Kind::Edit, 300},
    {"MAX_TIME_tile", Kind::Edit, 302},
    {"MIN_Tilt", Kind::Edit, 301},
    {"MIN_TIME_Tilt", Kind::Edit, 302},
    {"edt_test", Kind::Edit, -1},
};

// A stand-in for the main window with the controls at their design sizes.
class StandInWindow : public QMainWindow {
 public:
  StandInWindow() {
    setWindowTitle("Tarvo");
    auto* panel = new QWidget(this);
    setCentralWidget(panel);
    setFont(design_font("Tahoma", 11));
    std::map<std::string, QMenu*> menus;
    for (const Control& c : kControls) {
      const QString design = QString("design %1").arg(c.name);
      QObject* made = nullptr;
      switch (c.kind) {
        case Kind::Menu:
          made = menus[c.name] = menuBar()->addMenu(design);
          break;
        case Kind::Item:
          made = menus.at(c.parent)->addAction(design);
          break;
        case Kind::Button:
          made = new QPushButton(design, panel);
          static_cast<QWidget*>(made)->setGeometry(856, 123, 51, 25);
          break;
        case Kind::Edit:
          made = new QLineEdit(design, panel);
          static_cast<QWidget*>(made)->setGeometry(854, 5, 43, 21);
          break;
      }
      made->setObjectName(c.name);
      if (auto* menu = qobject_cast<QMenu*>(made)) {
        controls.add(menu);
      } else {
        controls.add(made);
      }
    }
  }

  LanguageControls controls;

  QString text_of(const Control& c) const {
    switch (c.kind) {
      case Kind::Menu:
        return findChild<QMenu*>(c.name)->menuAction()->text();
      case Kind::Item:
        return findChild<QAction*>(c.name)->text();
      case Kind::Button:
        return findChild<QPushButton*>(c.name)->text();
      case Kind::Edit:
        return findChild<QLineEdit*>(c.name)->text();
    }
    return {};
  }

  QStringList texts() const {
    QStringList all{windowTitle()};
    for (const Control& c : kControls) all << text_of(c);
    return all;
  }
};

class LanguageSwitch : public ::testing::Test {
 protected:
  QString text(int base, int n) const { return QString::fromStdString(s.languages.text(base, n)); }

  MeterState s;
  StandInWindow window;
};

TEST_F(LanguageSwitch, EveryLanguageRelabelsTheListedControlsOnly) {
  for (int base = 1000; base <= 5000; base += 1000) {
    ASSERT_TRUE(ApplyLanguage(&window.controls, s, base));
    EXPECT_EQ(s.LanguageBase, base);
    for (const Control& c : kControls) {
      const QString expected =
          c.string < 0 ? QString("design %1").arg(c.name) : text(base, c.string);
      EXPECT_EQ(window.text_of(c), expected) << c.name << " in " << base;
    }
    EXPECT_EQ(window.windowTitle(), "Tarvo");
  }
}

TEST_F(LanguageSwitch, EnglishCaptionsReadAsDesigned) {
  ApplyLanguage(&window.controls, s, 1000);
  const std::pair<const char*, const char*> expected[] = {
      {"SAVE_AS", "&Save file"}, {"sys_set", "Recording interval"},
      {"Max_Tilt", "MAX"},       {"MAX_TIME_tile", "Time"},
      {"MIN_TIME_Tilt", "Time"}, {"mmu_set_lan", "Languages(&L)"},
      {"Btn_EXT", "Exit"},
  };
  for (const auto& [name, caption] : expected) {
    for (const Control& c : kControls) {
      if (QString(c.name) == name) {
        EXPECT_EQ(window.text_of(c), caption) << name;
      }
    }
  }
}

TEST_F(LanguageSwitch, BasesThatNameNoLanguageChangeNothing) {
  ApplyLanguage(&window.controls, s, 3000);
  const QStringList before = window.texts();
  for (const int base : {2500, 6000, 0, -1000, 10000, 1001, 999, 9000}) {
    EXPECT_FALSE(ApplyLanguage(&window.controls, s, base)) << base;
    EXPECT_EQ(s.LanguageBase, 3000) << base;
    EXPECT_EQ(window.texts(), before) << base;
  }
}

TEST_F(LanguageSwitch, SameLanguageTwiceGivesTheSameTexts) {
  for (int base = 1000; base <= 5000; base += 1000) {
    ApplyLanguage(&window.controls, s, base);
    const QStringList once = window.texts();
    ApplyLanguage(&window.controls, s, base);
    EXPECT_EQ(window.texts(), once) << base;
  }
}

struct MenuFixture : LanguageSwitch {
  MenuFixture()
      : group(InitLanguageMenu(*window.findChild<QMenu*>("mmu_set_lan"), window.controls, s)) {}

  QAction* item(int n) const {
    return window.findChild<QAction*>(QString("lan_%1").arg(n, 2, 10, QChar('0')));
  }

  QActionGroup* group;
};

TEST_F(MenuFixture, ShowsTheFiveNamedLanguagesInOrderWithChineseChecked) {
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->isExclusive());
  EXPECT_EQ(group->actions().size(), 10);
  QStringList visible;
  for (QAction* a : window.findChild<QMenu*>("mmu_set_lan")->actions()) {
    if (a->isVisible()) visible << a->text();
  }
  EXPECT_EQ(visible,
            QStringList({"[English]", "[简体中文]", "[Français]", "[Deutsch]", "[Español]"}));
  for (int n = 1; n <= 10; ++n) {
    ASSERT_NE(item(n), nullptr) << n;
    EXPECT_EQ(item(n)->isVisible(), n <= 5) << n;
    EXPECT_EQ(item(n)->isChecked(), n == 2) << n;
  }
}

TEST_F(MenuFixture, ChoosingAnItemAppliesItsLanguageAndMovesTheCheck) {
  ApplyLanguage(&window.controls, s, 2000);
  item(4)->trigger();
  EXPECT_EQ(s.LanguageBase, 4000);
  EXPECT_EQ(window.findChild<QPushButton*>("Btn_STOP")->text(), "Stopp");
  EXPECT_TRUE(item(4)->isChecked());
  EXPECT_FALSE(item(2)->isChecked());
  item(1)->trigger();
  EXPECT_EQ(window.findChild<QLineEdit*>("MIN_Tilt")->text(), "MIN");
  EXPECT_EQ(group->checkedAction(), item(1));
}

TEST_F(MenuFixture, TheTenthItemHasNoCommand) {
  ApplyLanguage(&window.controls, s, 3000);
  const QStringList before = window.texts();
  item(10)->trigger();
  EXPECT_EQ(s.LanguageBase, 3000);
  EXPECT_EQ(window.texts(), before);
}

TEST_F(MenuFixture, ReusesItemsTheWindowAlreadyHas) {
  InitLanguageMenu(*window.findChild<QMenu*>("mmu_set_lan"), window.controls, s);
  EXPECT_EQ(window.findChildren<QAction*>("lan_03").size(), 1);
}

int caption_pixels(const QWidget& window, const char* name) {
  return QFontInfo(window.findChild<QWidget*>(name)->font()).pixelSize();
}

// At the design button size the long French caption of Reset fits only in a
// smaller font, and so does a title box just wide enough for "Time" once it
// reads "Heure"; English gives both the design font back.
TEST_F(LanguageSwitch, ShrinksLongCaptionsUntilTheyFit) {
  ApplyLanguage(&window.controls, s, 1000);
  const int design = caption_pixels(window, "Btn_Reset");
  EXPECT_EQ(cut_captions(window.controls), QStringList());
  for (const char* title : {"Max_Tilt", "MAX_TIME_tile", "MIN_Tilt", "MIN_TIME_Tilt"}) {
    window.findChild<QLineEdit*>(title)->resize(56, 21);
  }
  auto* time_title = window.findChild<QLineEdit*>("MAX_TIME_tile");
  time_title->resize(caption_width_needed(*time_title), 21);
  ApplyLanguage(&window.controls, s, 3000);
  ASSERT_GT(caption_width_needed(*time_title), time_title->width());
  EXPECT_EQ(cut_captions(window.controls), QStringList());
  EXPECT_LT(caption_pixels(window, "Btn_Reset"), design);
  EXPECT_LT(caption_pixels(window, "MAX_TIME_tile"), design);
  EXPECT_EQ(caption_pixels(window, "MIN_TIME_Tilt"), design);
  ApplyLanguage(&window.controls, s, 1000);
  EXPECT_EQ(caption_pixels(window, "Btn_Reset"), design);
  EXPECT_EQ(caption_pixels(window, "MAX_TIME_tile"), design);
}

// A title box too narrow for even the smallest readable font is reported.
TEST_F(LanguageSwitch, ReportsCaptionsThatStayCut) {
  window.findChild<QLineEdit*>("MIN_Tilt")->resize(8, 21);
  ApplyLanguage(&window.controls, s, 4000);
  EXPECT_TRUE(cut_captions(window.controls).contains("MIN_Tilt"));
  window.findChild<QLineEdit*>("MIN_Tilt")->resize(100, 21);
  ApplyLanguage(&window.controls, s, 4000);
  EXPECT_FALSE(cut_captions(window.controls).contains("MIN_Tilt"));
}

}  // namespace
}  // namespace tarvo
