#include "broker_status.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "debug_window.h"
#include "link/polling_cycle.h"
#include "link/test_frame.h"
#include "main_window.h"
#include "publish/broker_texts.h"
#include "test_broker.h"

namespace tarvo {
namespace {

// A broker that takes the connection and never answers: the window goes on
// as if there were none, the readings wait, and closing does not hang.
TEST(BrokerStatus, AHangingBrokerLeavesTheWindowResponsive) {
  testing::SilentListener silent;
  Program program;
  TForm1 window(program);
  window.show();
  std::string why;
  const auto target =
      parse_publish_url("mqtt://127.0.0.1:" + std::to_string(silent.port()) + "/lab/b1", why);
  auto publishing = std::make_unique<WindowPublishing>(window, *target);

  // Readings committed while the broker keeps the connection hanging, then a
  // timer that must keep its pace: a call that waited on the network would
  // show as a gap between its ticks.
  // Readings of the meter: a typed test frame would not be published.
  MeterState& meter = program.state();
  for (int i = 0; i < 20; ++i) {
    meter.rx.assign(parse_test_text("A0 00 30 00 00 04 02 05 04 00 00 00 5B 00"));
    ASSERT_TRUE(decode_frame(meter));
    commit_reading(meter, &window);
  }
  QElapsedTimer clock;
  std::vector<qint64> ticks;
  QTimer ticker;
  ticker.setInterval(20);
  QObject::connect(&ticker, &QTimer::timeout, [&] { ticks.push_back(clock.elapsed()); });
  clock.start();
  ticker.start();
  QTest::qWait(1000);
  ticker.stop();
  EXPECT_GE(ticks.size(), 25u);
  qint64 longest_gap = 0;
  for (std::size_t i = 1; i < ticks.size(); ++i) {
    longest_gap = std::max(longest_gap, ticks[i] - ticks[i - 1]);
  }
  EXPECT_LT(longest_gap, 250);
  const MeterState& s = program.state();
  EXPECT_EQ(s.log.count(), 20);

  QTest::qWait(BrokerStatusPanel::kPollMs * 2);
  const BrokerStatus status = publishing->publisher().status();
  EXPECT_EQ(status.state, BrokerState::Connecting);
  EXPECT_EQ(status.waiting, static_cast<std::size_t>(s.log.count()));
  EXPECT_EQ(publishing->panel()->label()->text().toStdString(),
            broker_status_line(status, s.languages, s.LanguageBase));
  EXPECT_TRUE(window.debug_window()->memo()->toPlainText().contains(QString::fromStdString(
      s.text(kTextBrokerConnecting) + " (127.0.0.1:" + std::to_string(silent.port()) + ")")));

  clock.restart();
  publishing.reset();
  EXPECT_LE(clock.elapsed(), 1000 * (WindowPublishing::kCloseGrace.count() + 1));
}

}  // namespace
}  // namespace tarvo
