#include "broker_status.h"

#include <QLabel>
#include <QTimer>

#include "debug_window.h"
#include "main_window.h"
#include "publish/broker_texts.h"
#include "status_bar.h"

namespace tarvo {

BrokerStatusPanel::BrokerStatusPanel(TForm1& window, MqttPublisher& publisher)
    : BrokerStatusPanel(
          window, PublishPeer::Broker, [&publisher] { return publisher.status(); },
          [&publisher] { return publisher.take_events(); }) {}

BrokerStatusPanel::BrokerStatusPanel(TForm1& window, InfluxWriter& writer)
    : BrokerStatusPanel(
          window, PublishPeer::Influx, [&writer] { return writer.status(); },
          [&writer] { return writer.take_events(); }) {}

BrokerStatusPanel::BrokerStatusPanel(TForm1& window, PublishPeer peer,
                                     std::function<BrokerStatus()> status,
                                     std::function<std::vector<BrokerEvent>()> events)
    : QObject(&window),
      window_(window),
      peer_(peer),
      status_(std::move(status)),
      events_(std::move(events)),
      label_(new QLabel),
      timer_(new QTimer(this)) {
  label_->setObjectName(peer == PublishPeer::Broker ? QStringLiteral("StatusBar1_broker")
                                                    : QStringLiteral("StatusBar1_influx"));
  label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label_->setContentsMargins(2, 0, 2, 0);
  window.status_bar()->addWidget(label_);
  timer_->setInterval(kPollMs);
  connect(timer_, &QTimer::timeout, this, &BrokerStatusPanel::refresh);
  timer_->start();
  refresh();
}

BrokerStatusPanel::~BrokerStatusPanel() {
  delete label_.data();
}

// Read again on every poll, so a language switch shows at once.
void BrokerStatusPanel::refresh() {
  const MeterState& s = window_.program().state();
  for (const BrokerEvent& event : events_()) {
    if (event.state == BrokerState::Stopped) continue;
    std::string line =
        format_hhmmss_z(now_local()) + "  " + s.text(broker_state_text(event.state, peer_));
    if (!event.detail.empty()) line += " (" + event.detail + ")";
    window_.debug_window()->add_line(std::move(line));
  }
  if (label_ != nullptr) {
    label_->setText(
        QString::fromStdString(broker_status_line(status_(), s.languages, s.LanguageBase, peer_)));
  }
}

WindowPublishing::WindowPublishing(TForm1& window, const PublishTarget& target,
                                   PublisherTiming timing)
    : window_(window), publisher_(window.program().recording().publish(target, timing)) {
  panel_ = new BrokerStatusPanel(window_, publisher_);
}

WindowPublishing::~WindowPublishing() {
  delete panel_.data();
  window_.program().recording().finish_publishing(kCloseGrace);
}

WindowInflux::WindowInflux(TForm1& window, const InfluxTarget& target, PublisherTiming timing)
    : window_(window), writer_(window.program().recording().write_to_influx(target, timing)) {
  panel_ = new BrokerStatusPanel(window_, writer_);
}

WindowInflux::~WindowInflux() {
  delete panel_.data();
  window_.program().recording().finish_influx(kCloseGrace);
}

}  // namespace tarvo
