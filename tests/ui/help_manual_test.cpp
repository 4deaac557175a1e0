#include "help_manual.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>

#include "debug_flag.h"
#include "main_window.h"
#include "manual_window.h"

namespace tarvo {
namespace {

void touch(const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// Stands in for the desktop's document viewer.
class Viewer : public QObject {
  Q_OBJECT

 public slots:
  void open(const QUrl& url) { opened.append(url); }

 public:
  QList<QUrl> opened;
};

class HelpManual : public ::testing::Test {
 protected:
  HelpManual() { QDesktopServices::setUrlHandler("file", &viewer, "open"); }
  ~HelpManual() override { QDesktopServices::unsetUrlHandler("file"); }

  QTemporaryDir dir;
  Viewer viewer;
};

TEST_F(HelpManual, OpensTheManualBesideTheProgram) {
  const QString manual = dir.filePath("Manual_en.pdf");
  touch(manual);
  EXPECT_EQ(manual_path(dir.path()), manual);
  EXPECT_TRUE(open_manual(dir.path()));
  ASSERT_EQ(viewer.opened.size(), 1);
  EXPECT_EQ(viewer.opened[0], QUrl::fromLocalFile(manual));
}

TEST_F(HelpManual, FindsTheInstalledManual) {
  const QString bin = dir.filePath("prefix/bin");
  QDir().mkpath(bin);
  const QString manual = QDir::cleanPath(bin + "/" TARVO_DOCDIR_FROM_BINDIR "/Manual_en.pdf");
  touch(manual);
  EXPECT_EQ(manual_path(bin), manual);
}

TEST_F(HelpManual, MissingManualShowsNothing) {
  QDir(dir.path()).mkdir("Manual_en.pdf");  // a folder of that name is no manual
  EXPECT_EQ(manual_path(dir.path()), QString());
  EXPECT_FALSE(open_manual(dir.path()));
  EXPECT_TRUE(viewer.opened.isEmpty());
}

// The test program has no manual beside it: the manual comes up in a window
// of its own, with its pictures, titled in the current language.
TEST(HelpManualWindow, ShowsTheManualWhenTheDesktopCannot) {
  Program program;
  TForm1 window(program);
  window.show();
  ASSERT_EQ(manual_path(QCoreApplication::applicationDirPath()), QString());
  window.mni_Help_MClick();
  ManualWindow* manual = window.manual_window();
  ASSERT_NE(manual, nullptr);
  EXPECT_TRUE(manual->isVisible());
  EXPECT_TRUE(manual->toPlainText().contains("Tarvo user manual"));
  EXPECT_TRUE(manual->toPlainText().contains("Troubleshooting"));
  EXPECT_EQ(manual->windowTitle(), "帮助手册 - Tarvo");
  const QVariant picture =
      manual->loadResource(QTextDocument::ImageResource, QUrl("images/main_window.png"));
  EXPECT_FALSE(picture.toByteArray().isEmpty());
  window.mni_Help_MClick();  // the same window again
  EXPECT_EQ(window.findChildren<ManualWindow*>().size(), 1);
}

TEST(DebugFlag, ComesFromTheMarkerFileBesideTheProgram) {
  QTemporaryDir with_file, with_folder, without;
  touch(with_file.filePath("debug.txt"));
  QDir(with_folder.path()).mkdir("debug.txt");
  touch(without.filePath("debug.txt.bak"));
  EXPECT_TRUE(debug_flag_from_marker(with_file.path()));
  EXPECT_FALSE(debug_flag_from_marker(with_folder.path()));
  EXPECT_FALSE(debug_flag_from_marker(without.path()));
}

}  // namespace
}  // namespace tarvo

#include "help_manual_test.moc"
