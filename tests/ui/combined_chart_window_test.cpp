// View > Combined chart over session files of a group written by the test.
#include "combined_chart_window.h"

#include <gtest/gtest.h>

#include <QAbstractAxis>
#include <QChart>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "link/meter_state.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

std::string header(const std::string& started) {
  return "tarvo-session\t1\nstarted\t2026-12-09T" + started +
         "+01:00\nfamily\tbench\ninterval\t1\ndecimal\t.\n";
}

std::string reading(int index, int second, const std::string& number, const std::string& range) {
  const std::string when =
      "2026-12-09T10:00:" + std::string(second < 10 ? "0" : "") + std::to_string(second) + "+01:00";
  return "reading\t" + std::to_string(index) + "\t" + when + "\t" + when.substr(11, 8) + "\t" +
         number + "\t" + range + "\t\t\t1\t" + number + "\t" + number + "\t" + number + "\n";
}

class CombinedChart : public ::testing::Test {
 protected:
  CombinedChart() {
    s.LanguageBase = 1000;
    folder_ = fs::path(dir_.path().toStdString());
    std::string volts = header("10:00:00"), amps = header("10:00:00") + "group\t20261209-100000\n";
    for (int i = 0; i < 6; ++i) {
      volts += reading(i + 1, i, "12.000", "DCV AUTO 50.000 V");
      if (i != 3) amps += reading(i + 1, i, "0.5000", "DCA AUTO 5.0000 A");  // lost once
    }
    std::ofstream(folder_ / "20261209-100000.tarvo-session") << volts;
    std::ofstream(folder_ / "20261209-100001.tarvo-session") << amps;
  }

  // Waits, generously, for the reader to hand its lines over.
  static bool drawn(CombinedChartWindow& w) {
    for (int i = 0; i < 500 && w.busy(); ++i) QTest::qWait(20);
    return !w.busy();
  }

  static QStringList axis_titles(const CombinedChartWindow& w) {
    QStringList titles;
    for (QAbstractAxis* axis : w.chart()->axes(Qt::Vertical)) titles << axis->titleText();
    return titles;
  }

  QTemporaryDir dir_;
  fs::path folder_;
  MeterState s;
};

TEST_F(CombinedChart, TheGroupIsFoundAndEachChannelHasItsAxisAndLines) {
  CombinedChartWindow w(s, folder_);
  w.show();
  ASSERT_EQ(w.groups_box()->count(), 1);
  EXPECT_EQ(w.groups_box()->itemText(0), "2 sessions from 2026-12-09 10:00:00");
  w.formulas()->setText("P=A*B");
  w.draw();
  ASSERT_TRUE(drawn(w));
  EXPECT_EQ(w.status()->text(), "");
  EXPECT_EQ(axis_titles(w), (QStringList{"A (V)", "B (A)", "P (W)"}));
  // A in one stretch; B and P cut where B was lost.
  EXPECT_EQ(w.chart()->series().size(), 1 + 2 + 2);
}

TEST_F(CombinedChart, AFormulaThatMakesNoSenseIsSaidAndTheChartKeepsWhatItShowed) {
  CombinedChartWindow w(s, folder_);
  w.show();
  ASSERT_TRUE(drawn(w));  // the first drawing on show
  const qsizetype before = w.chart()->series().size();
  EXPECT_EQ(before, 3);
  w.formulas()->setText("S=A+B");
  w.draw();
  ASSERT_TRUE(drawn(w));
  EXPECT_EQ(w.status()->text(),
            "Cannot draw: S: cannot add V and A (row of 2026-12-09T10:00:00+01:00)");
  EXPECT_EQ(w.chart()->series().size(), before);
}

// A session still held by its recorder is read again as it grows.
TEST_F(CombinedChart, ARunningGroupIsFollowed) {
  const fs::path volts = folder_ / "20261209-100000.tarvo-session";
  const int held = ::open(volts.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  CombinedChartWindow w(s, folder_);
  w.show();
  ASSERT_TRUE(drawn(w));
  ASSERT_TRUE(w.groups_box()->itemText(0).endsWith("(recording)"));
  const auto points_of_a = [&w] {
    return static_cast<QLineSeries*>(w.chart()->series().front())->count();
  };
  EXPECT_EQ(points_of_a(), 6);
  std::ofstream(volts, std::ios::app) << reading(7, 6, "12.000", "DCV AUTO 50.000 V")
                                      << reading(8, 7, "12.000", "DCV AUTO 50.000 V");
  for (int i = 0; i < 500 && points_of_a() != 8; ++i) QTest::qWait(20);
  EXPECT_EQ(points_of_a(), 8);
  ::close(held);
}

TEST(CombinedChartEmpty, AFolderWithoutGroupsSaysSo) {
  QTemporaryDir dir;
  MeterState s;
  s.LanguageBase = 1000;
  CombinedChartWindow w(s, fs::path(dir.path().toStdString()));
  w.show();
  EXPECT_EQ(w.groups_box()->count(), 0);
  EXPECT_EQ(w.status()->text(), "No sessions recorded side by side were found.");
}

}  // namespace
}  // namespace tarvo
