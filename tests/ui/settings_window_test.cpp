// The window started twice on the same settings file, as two runs of the
// program: the second finds what the user left in the first.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include <unistd.h>

#include "alarm.h"
#include "debug_window.h"
#include "file_commands.h"
#include "i18n/language_table.h"
#include "interval_dialog.h"
#include "main_window.h"
#include "statistics_window.h"
#include "window_test_support.h"

namespace tarvo {
namespace {

using test::named;

class KeptSettings : public ::testing::Test {
 protected:
  // One run: a new program and window on the settings file.
  void start(bool debug = false) {
    window_.reset();
    program_ = std::make_unique<Program>();
    program_->settings().use_file(file_);
    program_->DebugEnabled = debug;
    window_ = std::make_unique<TForm1>(*program_);
    window_->set_message_presenter([](MessageKind, const std::string&) {});
    window_->show();
    QCoreApplication::processEvents();
  }
  void end() {
    window_->close();
    window_.reset();
    program_.reset();
  }

  // The user's steps in the first run.
  void choose_interval(int seconds) {
    QTimer::singleShot(0, window_.get(), [this, seconds] {
      named<QSlider>(*window_->interval_dialog(), "trckbr_samp1")->setValue(seconds);
      named<QPushButton>(*window_->interval_dialog(), "btn_OK")->click();
    });
    named<QAction>(*window_, "sys_set")->trigger();
  }
  void choose_limits(const char* high, const char* low) {
    named<QLineEdit>(*window_, "edt_test")->setText("A0 00 30 00 00 04 02 05 04 00 00 00 5B 00 ");
    named<QPushButton>(*window_, "btn_test")->click();  // the function and unit to limit
    QTimer::singleShot(0, window_.get(), [high, low] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      dialog->findChild<QLineEdit*>("HighLimit")->setText(high);
      dialog->findChild<QLineEdit*>("LowLimit")->setText(low);
      dialog->findChild<QLineEdit*>("Hysteresis")->setText("0.05");
      dialog->findChild<QLineEdit*>("MinDuration")->setText("2.5");
      dialog->findChild<QLineEdit*>("StaleAfter")->setText("30");
      dialog->findChild<QCheckBox*>("MuteAlarm")->setChecked(true);
      dialog->findChild<QDialogButtonBox*>()->buttons().constFirst()->click();
    });
    named<QAction>(*window_, "mni_limits")->trigger();
  }

  void expect_first_start() {
    const MeterState& s = program_->state();
    EXPECT_EQ(s.LanguageBase, LanguageTable::kChinese);
    EXPECT_TRUE(named<QAction>(*window_, "lan_02")->isChecked());
    EXPECT_EQ(s.RecordInterval, 1);
    EXPECT_FALSE(program_->limits().limits().any());
    EXPECT_FALSE(window_->alarm()->muted());
  }
  int trace_lines_with(const char* words) const {
    return static_cast<int>(
        window_->debug_window()->memo()->toPlainText().count(QLatin1String(words)));
  }
  void write_file(const QByteArray& bytes) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file_).path()));
    QFile out(file_);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
  }

  QTemporaryDir dir_;
  QString file_ = dir_.filePath("tarvo/tarvo.conf");
  std::unique_ptr<Program> program_;
  std::unique_ptr<TForm1> window_;
};

TEST_F(KeptSettings, SecondRunStartsAsTheFirstEnded) {
  start();
  expect_first_start();
  named<QAction>(*window_, "lan_01")->trigger();
  choose_interval(37);
  choose_limits("0.5", "0.1");
  window_->resize(1150, 690);
  window_->move(40, 50);
  named<QAction>(*window_, "mni_statistics")->trigger();
  window_->statistics_window()->move(300, 200);
  end();

  start();
  const MeterState& s = program_->state();
  EXPECT_EQ(s.LanguageBase, LanguageTable::kEnglish);
  EXPECT_TRUE(named<QAction>(*window_, "lan_01")->isChecked());
  EXPECT_FALSE(named<QAction>(*window_, "lan_02")->isChecked());
  EXPECT_EQ(s.RecordInterval, 37);
  const Limits& limits = program_->limits().limits();
  EXPECT_EQ(limits.key, (RunKey{"ACV", "V"}));
  EXPECT_EQ(limits.high, 0.5);
  EXPECT_EQ(limits.low, 0.1);
  const AlarmSettings& alarm = program_->recording().alarms().watch().settings();
  EXPECT_EQ(alarm.rule.hysteresis, 0.05);
  EXPECT_EQ(alarm.rule.min_duration, 2.5);
  EXPECT_EQ(alarm.stale, 30);
  EXPECT_EQ(alarm.rule.high, 0.5);
  EXPECT_TRUE(window_->alarm()->muted());
  EXPECT_EQ(window_->pos(), QPoint(40, 50));
  EXPECT_EQ(window_->size(), QSize(1150, 690));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return window_->statistics_window() && window_->statistics_window()->isVisible(); },
      5000));
  EXPECT_EQ(window_->statistics_window()->pos(), QPoint(300, 200));
  EXPECT_EQ(trace_lines_with("Settings file ignored"), 0);
  end();
}

// The stale alarm needs no limits; a hysteresis without limits is not kept.
TEST_F(KeptSettings, StaleAlarmComesBackWithoutLimits) {
  start();
  choose_limits("", "");
  EXPECT_EQ(program_->recording().alarms().watch().settings().stale, 30);
  end();
  start();
  const AlarmSettings& alarm = program_->recording().alarms().watch().settings();
  EXPECT_FALSE(program_->limits().limits().any());
  EXPECT_EQ(alarm.stale, 30);
  EXPECT_EQ(alarm.rule.hysteresis, 0);
  EXPECT_EQ(alarm.rule.min_duration, 0);
  end();
}

// The debug window opens where it was, not beside the main window again.
TEST_F(KeptSettings, DebugWindowComesWhereItWas) {
  start(true);
  TForm2* debug = window_->debug_window();
  ASSERT_TRUE(QTest::qWaitFor([&] { return debug->isVisible(); }, 5000));
  debug->move(333, 222);
  end();
  start(true);
  debug = window_->debug_window();
  ASSERT_TRUE(QTest::qWaitFor([&] { return debug->isVisible(); }, 5000));
  EXPECT_EQ(debug->pos(), QPoint(333, 222));
  end();
}

TEST_F(KeptSettings, CorruptOrMissingFileStartsAsTheFirstStart) {
  start();
  named<QAction>(*window_, "lan_03")->trigger();
  choose_interval(9);
  end();
  const QByteArray junk[] = {
      QByteArray("\x00\xff\xfe[[[\x01garbage\n=\n==\n\xc3(", 20),
      "language=1\ninterval=5\n",  // no format: not ours
  };
  for (const QByteArray& bytes : junk) {
    write_file(bytes);
    start();
    expect_first_start();
    EXPECT_EQ(trace_lines_with("Settings file ignored"), 1);
    end();
  }
  ASSERT_TRUE(QFile::remove(file_));
  start();
  expect_first_start();
  EXPECT_EQ(trace_lines_with("Settings file ignored"), 0);
  // A junk file is replaced by the next setting the user makes.
  choose_interval(11);
  end();
  start();
  EXPECT_EQ(program_->state().RecordInterval, 11);
  end();
}

TEST_F(KeptSettings, UnreadableFileStartsAsTheFirstStart) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  start();
  named<QAction>(*window_, "lan_01")->trigger();
  end();
  ASSERT_TRUE(QFile::setPermissions(file_, QFileDevice::WriteOwner));
  start();
  expect_first_start();
  EXPECT_EQ(trace_lines_with("it cannot be read"), 1);
  end();
}

// Save and Open start where the last of their kind ended, in this run and the next.
TEST_F(KeptSettings, FileDialogsStartFromTheLastFileChosen) {
  ASSERT_TRUE(QDir(dir_.path()).mkpath("logs"));
  const QString logs = QDir(dir_.filePath("logs")).absolutePath();
  const auto choose = [](const QString& name, QString& shown_folder) {
    QTimer::singleShot(0, [name, &shown_folder] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      shown_folder = dialog->directory().absolutePath();
      dialog->selectFile(name);
      QMetaObject::invokeMethod(dialog, "accept");
    });
  };
  start();
  QString shown;
  choose(logs + "/first.txt", shown);
  const auto saved = dialog_env(window_.get()).choose_save(window_.get());
  ASSERT_TRUE(saved);
  EXPECT_EQ(QString::fromStdString(saved->file.string()), logs + "/first.txt");
  end();
  start();
  choose(logs + "/second.txt", shown);
  ASSERT_TRUE(dialog_env(window_.get()).choose_save(window_.get()));
  EXPECT_EQ(shown, logs);
  EXPECT_EQ(program_->settings().current().save_file, (logs + "/second.txt").toStdString());
  EXPECT_EQ(program_->settings().current().open_file, "");
  end();
}

TEST_F(KeptSettings, LaterVersionsFileIsNeitherUsedNorWrittenOver) {
  start();
  end();
  const QByteArray later = "[General]\nformat=2\nlanguage=1\ninterval=5\n";
  write_file(later);
  start();
  expect_first_start();
  EXPECT_EQ(trace_lines_with("written by a later version"), 1);
  choose_interval(20);
  end();
  QFile in(file_);
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  EXPECT_EQ(in.readAll(), later);
}

// A folder that cannot hold the file: the program runs on, and says so once.
TEST_F(KeptSettings, FileThatCannotBeWrittenIsSaidOnceInTheTrace) {
  write_file("not a folder");
  file_ += "/tarvo.conf";
  start();
  named<QAction>(*window_, "lan_01")->trigger();
  choose_interval(8);
  EXPECT_EQ(program_->state().RecordInterval, 8);
  EXPECT_EQ(trace_lines_with("Settings file not written"), 1);
  end();
}

TEST_F(KeptSettings, OutOfRangeValueIsDroppedAlone) {
  start();
  end();
  write_file("[General]\nformat=1\nlanguage=9\ninterval=15\n");
  start();
  EXPECT_EQ(program_->state().LanguageBase, LanguageTable::kChinese);
  EXPECT_EQ(program_->state().RecordInterval, 15);
  end();
}

TEST_F(KeptSettings, LanguageForOneRunIsNotKept) {
  start();
  named<QAction>(*window_, "lan_04")->trigger();
  end();
  window_.reset();
  program_ = std::make_unique<Program>();
  program_->settings().use_file(file_);
  program_->language_for_run = 5;
  window_ = std::make_unique<TForm1>(*program_);
  window_->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(program_->state().LanguageBase, LanguageTable::kSpanish);
  EXPECT_TRUE(named<QAction>(*window_, "lan_05")->isChecked());
  end();
  start();
  EXPECT_EQ(program_->state().LanguageBase, LanguageTable::kGerman);
  end();
}

TEST_F(KeptSettings, ResetSettingsGoesBackToTheFirstStart) {
  start();
  named<QAction>(*window_, "lan_01")->trigger();
  choose_interval(42);
  choose_limits("1", "");
  named<QAction>(*window_, "mmu_reset_settings")->trigger();
  expect_first_start();
  end();
  start();
  expect_first_start();
  end();
}

}  // namespace
}  // namespace tarvo
