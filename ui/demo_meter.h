#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "decode/meter_model.h"

class QTimer;

namespace tarvo {
namespace sim {
class PtyMeter;
class ScenarioPlayer;
struct PtyMeterOptions;
}  // namespace sim

// The simulated meter inside the program: a pseudo-terminal that carries the
// built-in demo (or any scenario) at the pace of the real line, driven by a
// timer of the event loop, so it keeps talking while Start waits.
class DemoMeter : public QObject {
  Q_OBJECT

 public:
  // Throws std::system_error when the system has no pseudo-terminals.
  explicit DemoMeter(MeterModel family, QObject* parent = nullptr);
  // Any scenario, at any line pace (tests run the line faster than 2400 baud).
  DemoMeter(sim::ScenarioPlayer player, const sim::PtyMeterOptions& options, QObject* parent);
  ~DemoMeter() override;

  // The port to name on the port list, e.g. "/dev/pts/3".
  const std::string& device_path() const;

  // The line closes as if the meter were unplugged.
  void hang_up();

 private:
  void pump();

  std::unique_ptr<sim::PtyMeter> meter_;
  QTimer* timer_;
};

}  // namespace tarvo
