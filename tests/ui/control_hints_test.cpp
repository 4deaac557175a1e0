#include "control_hints.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGraphicsView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "i18n/language_table.h"
#include "i18n/text_numbers.h"
#include "main_window.h"
#include "trend_chart.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

using test::named;

// What a screen reader says for a widget.
QString spoken_name(QWidget& widget) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
  return face != nullptr ? face->text(QAccessible::Name) : QString();
}

bool is_control(const QWidget& w) {
  return qobject_cast<const QAbstractButton*>(&w) != nullptr ||
         qobject_cast<const QLineEdit*>(&w) != nullptr ||
         qobject_cast<const QComboBox*>(&w) != nullptr ||
         qobject_cast<const QAbstractSlider*>(&w) != nullptr ||
         qobject_cast<const QAbstractItemView*>(&w) != nullptr ||
         qobject_cast<const QPlainTextEdit*>(&w) != nullptr ||
         qobject_cast<const QGraphicsView*>(&w) != nullptr;
}

// Controls that need neither: the title boxes only name the value boxes beside
// them, and the page control takes no room and serves nothing.
const std::set<QString> kNeedNoHint = {"Max_Tilt", "MAX_TIME_tile", "MIN_Tilt", "MIN_TIME_Tilt",
                                       "PageControl1"};

// A part of a bigger control (a table's header, a combo box's list, a chart's
// scrollbars) is spoken of by that control.
bool inside_a_control(const QWidget& w, const QWidget& window) {
  for (const QWidget* up = w.parentWidget(); up != nullptr && up != &window;
       up = up->parentWidget()) {
    if (is_control(*up) || kNeedNoHint.count(up->objectName()) > 0) return true;
  }
  return false;
}

struct Hints {
  QString spoken, tip;
};

// Every control of window and of the windows it owns, by object name.
std::map<QString, Hints> hints_of(QWidget& window) {
  std::map<QString, Hints> found;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!is_control(*w) || inside_a_control(*w, window)) continue;
    // The menu bar's overflow button and the like are Qt's own.
    if (kNeedNoHint.count(w->objectName()) > 0 || w->objectName().startsWith("qt_")) continue;
    const QString where = w->window()->objectName() + "/" + w->objectName();
    EXPECT_FALSE(w->objectName().isEmpty())
        << w->metaObject()->className() << " in " << w->window()->objectName().toStdString();
    found[where] = {spoken_name(*w), w->toolTip()};
  }
  return found;
}

// The menu bar's menus and their items: a tooltip that says more than the caption.
std::map<QString, QString> menu_tips(const QMenuBar& bar) {
  std::map<QString, QString> tips;
  const auto add = [&tips](QAction* item, const QString& name) {
    if (item->isSeparator() || !item->isVisible()) return;
    QString caption = item->text();
    caption.remove('&');
    EXPECT_NE(item->toolTip(), caption) << name.toStdString();
    tips[name] = item->toolTip();
  };
  for (QAction* menu_item : bar.actions()) {
    add(menu_item, menu_item->menu()->objectName());
    EXPECT_TRUE(menu_item->menu()->toolTipsVisible());
    for (QAction* item : menu_item->menu()->actions()) add(item, item->objectName());
  }
  return tips;
}

class ControlHints : public ::testing::Test {
 protected:
  ControlHints() {
    program_.set_port_map_source([] { return PortMap{{}, true}; });
    window_ = std::make_unique<TForm1>(program_);
    window_->set_timing({1, 1});
    window_->set_message_presenter(
        [this](MessageKind, const std::string& text) { messages_.push_back(text); });
    window_->show();
    QApplication::setActiveWindow(window_.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }
  void language(const char* item) { named<QAction>(*window_, item)->trigger(); }
  // A typed frame, so that the limits have a function to be for.
  void one_reading() {
    named<QLineEdit>(*window_, "edt_test")->setText("A0 00 30 00 00 04 02 05 04 00 00 00 5B 00");
    named<QPushButton>(*window_, "btn_test")->click();
  }
  // The hints of the modal dialog that trigger opens, which is then closed.
  std::map<QString, Hints> modal_hints(const char* trigger) {
    std::map<QString, Hints> found;
    QTimer::singleShot(0, window_.get(), [&found] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      found = hints_of(*dialog);
      dialog->close();
    });
    named<QAction>(*window_, trigger)->trigger();
    return found;
  }

  Program program_;
  std::unique_ptr<TForm1> window_;
  std::vector<std::string> messages_;
};

TEST_F(ControlHints, TabWalksFromTheChartToTheGridAndEveryControl) {
  window_->trend_chart()->setFocus();
  std::vector<QString> walked;
  for (int i = 0; i < 30; ++i) {
    walked.push_back(QApplication::focusWidget()->objectName());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (QApplication::focusWidget() == window_->trend_chart()) break;
  }
  ASSERT_EQ(QApplication::focusWidget(), window_->trend_chart())
      << "Tab never came back: "
      << QStringList(walked.begin(), walked.end()).join(' ').toStdString();
  // Stop and Reset are disabled while nothing runs, and Tab passes them by.
  const std::vector<QString> expected = {"Chart1", "StringGrid1", "Btn_Start", "Btn_EXT",
                                         "MAX_NO", "max_time_no", "MIN_NO",    "MIN_TIME_NO",
                                         "mainno", "edt_test",    "btn_test"};
  EXPECT_EQ(walked, expected);
}

TEST_F(ControlHints, EveryControlOfEveryWindowHasANameAndATipInTheCurrentLanguage) {
  one_reading();
  named<QAction>(*window_, "mni_statistics")->trigger();
  named<QAction>(*window_, "mni_overview")->trigger();
  std::map<QString, Hints> english, german;
  for (auto [item, into] : {std::pair{"lan_01", &english}, std::pair{"lan_04", &german}}) {
    language(item);
    *into = hints_of(*window_);
    into->merge(modal_hints("mni_limits"));
    into->merge(modal_hints("mmu_sessions"));
    into->merge(modal_hints("mmu_publishing"));
  }
  // Every window, the debug window, the about box and the dialogs among them.
  for (const char* window : {"TForm1/", "TForm2/", "TForm3/", "TForm5/", "StatisticsWindow/",
                             "OverviewWindow/", "dlgLimits/", "dlgSessions/", "dlgPublishing/"}) {
    EXPECT_TRUE(std::any_of(english.begin(), english.end(), [&](const auto& c) {
      return c.first.startsWith(window);
    })) << window;
  }
  ASSERT_EQ(english.size(), german.size());
  for (const auto& [name, hints] : english) {
    SCOPED_TRACE(name.toStdString());
    EXPECT_FALSE(hints.spoken.isEmpty());
    EXPECT_FALSE(hints.tip.isEmpty());
    // The tip follows the language switch.
    EXPECT_NE(german[name].tip, hints.tip);
    EXPECT_FALSE(german[name].spoken.isEmpty());
  }
  EXPECT_EQ(english["TForm1/StringGrid1"].spoken, "Readings table");
  EXPECT_EQ(german["TForm1/StringGrid1"].spoken, "Messwerttabelle");
  EXPECT_EQ(german["dlgLimits/HighLimit"].spoken, "Obere Grenze");
  EXPECT_EQ(german["dlgPublishing/InfluxToken"].spoken, "Token (Version 2):");
}

TEST_F(ControlHints, EveryMenuAndMenuItemHasATipThatFollowsTheLanguage) {
  language("lan_01");
  const std::map<QString, QString> english = menu_tips(*window_->menuBar());
  language("lan_03");
  const std::map<QString, QString> french = menu_tips(*window_->menuBar());
  EXPECT_GE(english.size(), 21u);  // 5 menus, 11 items, 5 languages
  ASSERT_EQ(english.size(), french.size());
  for (const auto& [name, tip] : english) EXPECT_NE(french.at(name), tip) << name.toStdString();
  EXPECT_EQ(french.at("mmu_view"), "Statistiques, limites et vue d'ensemble du journal");
}

TEST_F(ControlHints, EveryTextOfTheHintTableIsThereInFiveLanguages) {
  const LanguageTable table;
  int used = 0;
  for (int n = kTextFirstControlHint; n <= kTextLastControlHint; ++n) {
    if (table.text(LanguageTable::kEnglish, n).empty()) continue;
    ++used;
    for (int base : {LanguageTable::kChinese, LanguageTable::kFrench, LanguageTable::kGerman,
                     LanguageTable::kSpanish}) {
      EXPECT_FALSE(table.text(base, n).empty()) << base + n;
    }
  }
  EXPECT_GT(used, 60);
}

TEST_F(ControlHints, KeysTriggerTheirCommands) {
  // Save with nothing logged says so; Open, last, brings up a file dialog.
  QTest::keySequence(window_.get(), QKeySequence(Qt::CTRL | Qt::Key_S));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], program_.state().text(kTextNoData));

  // F5 starts (no port here: the search finds no meter); F6 stops only what runs.
  QSignalSpy started(named<QPushButton>(*window_, "Btn_Start"), &QPushButton::clicked);
  QSignalSpy stopped(named<QPushButton>(*window_, "Btn_STOP"), &QPushButton::clicked);
  QTest::keyClick(window_.get(), Qt::Key_F6);
  EXPECT_EQ(stopped.count(), 0);
  QTest::keyClick(window_.get(), Qt::Key_F5);
  EXPECT_EQ(started.count(), 1);
  EXPECT_EQ(messages_.size(), 2u);  // no meter found
  named<QPushButton>(*window_, "Btn_STOP")->setEnabled(true);
  QTest::keyClick(window_.get(), Qt::Key_F6);
  EXPECT_EQ(stopped.count(), 1);

  // The manual and Exit would leave the test: their items are only watched.
  for (auto [item, key] : {std::pair{"mni_Help_M", QKeySequence(Qt::Key_F1)},
                           std::pair{"Exit1", QKeySequence(Qt::CTRL | Qt::Key_Q)}}) {
    auto* action = named<QAction>(*window_, item);
    QObject::disconnect(action, &QAction::triggered, window_.get(), nullptr);
    QSignalSpy triggered(action, &QAction::triggered);
    QTest::keySequence(window_.get(), key);
    EXPECT_EQ(triggered.count(), 1) << item;
  }
  bool dialog_seen = false;
  QTimer::singleShot(0, window_.get(), [&dialog_seen] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    dialog_seen = dialog != nullptr;
    if (dialog != nullptr) dialog->reject();
  });
  QTest::keySequence(window_.get(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_TRUE(dialog_seen);
}

TEST_F(ControlHints, TheTitleNamesTheLogOpenedOrSaved) {
  EXPECT_EQ(window_->windowTitle(), "Tarvo");
  window_->show_log_name("/some/where/bench run.txt");
  EXPECT_EQ(window_->windowTitle(), QString::fromUtf8("bench run.txt — Tarvo"));
  named<QPushButton>(*window_, "Btn_Reset")->setEnabled(true);
  named<QPushButton>(*window_, "Btn_Reset")->click();
  EXPECT_EQ(window_->windowTitle(), "Tarvo");
}

}  // namespace
}  // namespace tarvo
