#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>
#include <vector>

#include "publish/broker_texts.h"
#include "publish/influx_writer.h"
#include "publish/mqtt_publisher.h"

class QTimer;

namespace tarvo {

class TForm1;

// The broker's (or the InfluxDB server's) state in a panel of its own at the
// end of the main window's status bar, and each change of it as a line of the
// debug trace, in the current language. The publisher works on its own
// thread; this polls it.
class BrokerStatusPanel : public QObject {
  Q_OBJECT

 public:
  static constexpr int kPollMs = 250;

  BrokerStatusPanel(TForm1& window, MqttPublisher& publisher);
  BrokerStatusPanel(TForm1& window, InfluxWriter& writer);
  ~BrokerStatusPanel() override;

  QLabel* label() const { return label_; }
  void refresh();

 private:
  BrokerStatusPanel(TForm1& window, PublishPeer peer, std::function<BrokerStatus()> status,
                    std::function<std::vector<BrokerEvent>()> events);

  TForm1& window_;
  const PublishPeer peer_;
  const std::function<BrokerStatus()> status_;
  const std::function<std::vector<BrokerEvent>()> events_;
  QPointer<QLabel> label_;
  QTimer* timer_;
};

// Publishing for as long as the window runs: the program's recording
// publishes each commit and the panel shows the publisher's state.
class WindowPublishing {
 public:
  // How long closing the program waits for the broker to take what is left.
  static constexpr std::chrono::seconds kCloseGrace{2};

  WindowPublishing(TForm1& window, const PublishTarget& target, PublisherTiming timing = {});
  // Stops following the commits and delivers what waits, for at most kCloseGrace.
  ~WindowPublishing();
  WindowPublishing(const WindowPublishing&) = delete;
  WindowPublishing& operator=(const WindowPublishing&) = delete;

  MqttPublisher& publisher() { return publisher_; }
  BrokerStatusPanel* panel() const { return panel_; }

 private:
  TForm1& window_;
  MqttPublisher& publisher_;
  QPointer<BrokerStatusPanel> panel_;
};

// Writing to InfluxDB for as long as the window runs, as WindowPublishing.
class WindowInflux {
 public:
  static constexpr std::chrono::seconds kCloseGrace{2};

  WindowInflux(TForm1& window, const InfluxTarget& target, PublisherTiming timing = {});
  ~WindowInflux();
  WindowInflux(const WindowInflux&) = delete;
  WindowInflux& operator=(const WindowInflux&) = delete;

  InfluxWriter& writer() { return writer_; }
  BrokerStatusPanel* panel() const { return panel_; }

 private:
  TForm1& window_;
  InfluxWriter& writer_;
  QPointer<BrokerStatusPanel> panel_;
};

}  // namespace tarvo
