#include "debug_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <string>
#include <vector>

#include "link/meter_state.h"

namespace tarvo {
namespace {

QStringList memo_lines(const TForm2& form) {
  QStringList lines;
  for (QTextBlock b = form.memo()->document()->begin(); b.isValid(); b = b.next()) {
    lines << b.text();
  }
  return lines;
}

struct MemoCase {
  const char* what;
  std::vector<std::string> added;
  QStringList shown;
};

TEST(DebugWindow, ReadLinesAreFollowedByAnEmptyLine) {
  const MemoCase cases[] = {
      {"open", {"10:00:00.5  COM3  IS OPEN"}, {"10:00:00.5  COM3  IS OPEN"}},
      {"read",
       {"10:00:01.17  COM3  Read:(3)  A0 00 5B \r\n"},
       {"10:00:01.17  COM3  Read:(3)  A0 00 5B ", ""}},
      {"reads then close",
       {"t  COM3  Read:(1)  A0 \r\n", "t  COM3  Read:(1)  5B \r\n", "t  COM3  IS Closed"},
       {"t  COM3  Read:(1)  A0 ", "", "t  COM3  Read:(1)  5B ", "", "t  COM3  IS Closed"}},
  };
  for (const MemoCase& c : cases) {
    TForm2 form;
    for (const std::string& line : c.added) form.add_line(line);
    EXPECT_EQ(memo_lines(form), c.shown) << c.what;
  }
}

TEST(DebugWindow, ClearEmptiesTheMemo) {
  TForm2 form;
  form.add_line("a");
  form.add_line("b\r\n");
  form.clear();
  EXPECT_TRUE(form.memo()->toPlainText().isEmpty());
}

TEST(DebugWindow, KeepsOnlyTheNewestLines) {
  TForm2 form;
  constexpr int kExtra = 7;
  for (int i = 0; i < TForm2::kMemoLines + kExtra; ++i) form.add_line(std::to_string(i));
  EXPECT_EQ(form.memo()->blockCount(), TForm2::kMemoLines);
  EXPECT_EQ(form.memo()->document()->firstBlock().text(), QString::number(kExtra));
  EXPECT_EQ(form.memo()->document()->lastBlock().text(),
            QString::number(TForm2::kMemoLines + kExtra - 1));
}

TEST(DebugWindow, ShowsAsDesignedWithoutBlocking) {
  TForm2 form;
  form.show_trace();
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.isModal());
  EXPECT_EQ(form.windowTitle(), "Debug trace");
  EXPECT_EQ(form.size(), QSize(704, 437));
  EXPECT_EQ(form.memo()->objectName(), "mmo1");
  EXPECT_FALSE(form.memo()->isReadOnly());
}

TEST(DebugWindow, SavesTheTraceAsUtf8Text) {
  QTemporaryDir dir;
  TForm2 form;
  form.add_line("10:00:00.5  COM3  IS OPEN");
  form.add_line("10:00:01.17  COM3  Read:(2)  A0 5B \r\n");
  form.memo()->appendPlainText("Ω note");
  const QString path = dir.filePath("trace.txt");
  ASSERT_TRUE(form.save_trace_to(path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(),
            QByteArray("10:00:00.5  COM3  IS OPEN\n10:00:01.17  COM3  Read:(2)  A0 5B \n\n"
                       "\xCE\xA9 note\n"));
}

TEST(DebugWindow, SavingIntoAMissingFolderFails) {
  QTemporaryDir dir;
  TForm2 form;
  form.add_line("x");
  EXPECT_FALSE(form.save_trace_to(dir.filePath("missing/trace.txt")));
}

TEST(DebugWindow, ContextMenuOffersSaveTraceInTheCurrentLanguage) {
  MeterState s;
  s.LanguageBase = 4000;
  TForm2 form;
  form.set_meter(s);
  form.show_trace();
  QString offered;
  QTimer::singleShot(0, [&offered] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    if (auto* save = menu->findChild<QAction*>("mni_save_trace")) offered = save->text();
    menu->close();
  });
  emit form.memo()->customContextMenuRequested(QPoint(10, 10));
  EXPECT_EQ(offered, "Protokoll speichern");
}

}  // namespace
}  // namespace tarvo
