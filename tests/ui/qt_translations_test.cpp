#include "qt_translations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <memory>

#include "file_commands.h"
#include "language_switch.h"
#include "link/meter_state.h"

namespace tarvo {
namespace {

struct OpenDialogLook {
  QString cancel;
  QSize size;
};

// Opens File > Open's dialog (Qt's own: the test platform has no native
// one), notes how it looks and cancels it.
OpenDialogLook open_dialog_look(QWidget& window) {
  OpenDialogLook look;
  QTimer::singleShot(0, &window, [&look] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    look.cancel = buttons->button(QDialogButtonBox::Cancel)->text();
    look.size = dialog->size();
    dialog->reject();
  });
  EXPECT_FALSE(dialog_env(&window).choose_open(&window));
  return look;
}

QStringList edit_menu(QLineEdit& edit) {
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList items;
  for (QAction* a : menu->actions()) {
    if (!a->isSeparator()) items << a->text().section(QLatin1Char('\t'), 0, 0);
  }
  return items;
}

TEST(QtTranslations, FollowTheLanguagesMenu) {
  MeterState s;
  QWidget window;
  QLineEdit edit(&window);
  ASSERT_TRUE(ApplyLanguage(nullptr, s, LanguageTable::kGerman));
  const OpenDialogLook german = open_dialog_look(window);
  EXPECT_EQ(german.cancel, "Abbrechen");
  EXPECT_GE(german.size.width(), 860);
  EXPECT_TRUE(edit_menu(edit).contains("Alles auswählen"))
      << edit_menu(edit).join('|').toStdString();

  ApplyLanguage(nullptr, s, LanguageTable::kChinese);
  QMessageBox box(QMessageBox::Warning, "Tarvo", "", QMessageBox::Ok);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
  ApplyLanguage(nullptr, s, LanguageTable::kFrench);
  EXPECT_EQ(open_dialog_look(window).cancel, "Annuler");
  ApplyLanguage(nullptr, s, LanguageTable::kEnglish);
  EXPECT_EQ(open_dialog_look(window).cancel, "Cancel");
}

}  // namespace
}  // namespace tarvo
