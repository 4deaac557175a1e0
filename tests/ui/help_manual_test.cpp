#include "help_manual.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <optional>

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
  EXPECT_TRUE(open_manual(dir.path(), [] { return QString("viewer.desktop"); }));
  ASSERT_EQ(viewer.opened.size(), 1);
  EXPECT_EQ(viewer.opened[0], QUrl::fromLocalFile(manual));
}

// A desktop that cannot be asked leaves it to the opener; one that answers
// with no viewer gets no request at all, since its opener would hand the
// document to nobody and still report success.
TEST_F(HelpManual, OpensOnlyWhereTheDesktopHasAViewer) {
  touch(dir.filePath("Manual_en.pdf"));
  struct Case {
    const char* name;
    std::optional<QString> viewer;
    bool opened;
  };
  const Case cases[] = {
      {"a viewer", QString("org.gnome.Evince.desktop"), true},
      {"no viewer set up", QString(), false},
      {"the desktop cannot be asked", std::nullopt, true},
  };
  for (const Case& c : cases) {
    viewer.opened.clear();
    EXPECT_EQ(open_manual(dir.path(), [&] { return c.viewer; }), c.opened) << c.name;
    EXPECT_EQ(viewer.opened.size(), c.opened ? 1 : 0) << c.name;
  }
}

// The desktop is asked through xdg-mime; here a stand-in of the test's own,
// first on the PATH.
TEST_F(HelpManual, AsksTheDesktopForItsPdfViewer) {
  const QByteArray path = qgetenv("PATH");
  const auto answer_with = [&](const char* script) {
    const QString file = dir.filePath("bin/xdg-mime");
    QDir().mkpath(dir.filePath("bin"));
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(script);
    out.close();
    out.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  };
  qputenv("PATH", dir.filePath("bin").toLocal8Bit() + ":" + path);
  answer_with("#!/bin/sh\necho evince.desktop\n");
  EXPECT_EQ(desktop_pdf_viewer(), std::optional<QString>("evince.desktop"));
  answer_with("#!/bin/sh\nexit 0\n");
  EXPECT_EQ(desktop_pdf_viewer(), std::optional<QString>(QString()));
  qputenv("PATH", dir.filePath("nowhere").toLocal8Bit());
  EXPECT_EQ(desktop_pdf_viewer(), std::nullopt);
  qputenv("PATH", path);
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

// On a small screen the window fits the screen, and every picture fits the
// window's width, keeping its proportions.
TEST(HelpManualWindow, FitsTheScreenAndScalesItsPictures) {
  ManualWindow manual;
  manual.show_manual("Help manual");
  const QRect screen = manual.screen()->availableGeometry();
  EXPECT_LE(manual.width(), screen.width());
  EXPECT_LE(manual.height(), screen.height());
  for (const int width : {700, 420}) {
    manual.resize(width, 500);
    int pictures = 0;
    for (QTextBlock b = manual.document()->begin(); b.isValid(); b = b.next()) {
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (!format.isImageFormat()) continue;
        ++pictures;
        const QTextImageFormat image = format.toImageFormat();
        EXPECT_GT(image.width(), 0) << image.name().toStdString();
        EXPECT_LE(image.width(), manual.picture_room()) << image.name().toStdString();
      }
    }
    EXPECT_GE(pictures, 5) << width;
  }
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
