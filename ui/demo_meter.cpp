#include "demo_meter.h"

#include <QTimer>
#include <algorithm>
#include <chrono>

#include "demo_programme.h"
#include "pty_meter.h"
#include "scenario_player.h"

namespace tarvo {
namespace {

// The meter wants a call for every byte it puts on the line; bytes that are
// due are written together, so waking up less often only groups them.
constexpr std::chrono::milliseconds kShortestPause{5};

}  // namespace

DemoMeter::DemoMeter(MeterModel family, QObject* parent)
    : DemoMeter(sim::ScenarioPlayer(sim::demo_scenario(family)), {}, parent) {}

DemoMeter::DemoMeter(sim::ScenarioPlayer player, const sim::PtyMeterOptions& options,
                     QObject* parent)
    : QObject(parent),
      meter_(std::make_unique<sim::PtyMeter>(std::move(player), sim::Clock::now(), options)),
      timer_(new QTimer(this)) {
  timer_->setSingleShot(true);
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this, &DemoMeter::pump);
  pump();
}

DemoMeter::~DemoMeter() = default;

const std::string& DemoMeter::device_path() const {
  return meter_->device_path();
}

void DemoMeter::hang_up() {
  timer_->stop();
  meter_->hang_up();
}

void DemoMeter::pump() {
  const sim::Clock::time_point now = sim::Clock::now();
  const sim::Clock::time_point next = meter_->pump(now);
  if (next == sim::Clock::time_point::max()) return;
  const auto pause = std::chrono::ceil<std::chrono::milliseconds>(next - now);
  timer_->start(std::max(pause, kShortestPause));
}

}  // namespace tarvo
