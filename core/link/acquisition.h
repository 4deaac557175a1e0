#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "decode/meter_model.h"
#include "link/meter_state.h"
#include "link/polling_cycle.h"
#include "link/serial_ports.h"

namespace tarvo {

// Where the Start/Stop buttons stand; the window maps each state to the
// enabled states of its controls.
enum class AcquisitionState {
  Idle,       // nothing started yet
  Searching,  // Start is between its first and its last step
  Acquiring,  // the polling cycle runs on the active port
  Waiting,    // the meter's port went away; its return is awaited, the log kept
  NoMeter,    // Start found no meter; idle again
  Stopped,    // Stop ended the acquisition (or the meter went away)
};

// Why the ports Start tried may have shown no meter, beyond there being none.
struct PortRefusals {
  bool permission = false;        // some were refused for lack of permission
  std::vector<std::string> busy;  // the devices another program holds
};

enum class TickOutcome {
  NotAcquiring,  // the tick came while no acquisition runs: nothing done
  Running,
  MeterLost,    // the active port went away; the acquisition ended as Stop ends it
  LostWaiting,  // the active port went away; from now on its return is awaited
  Waiting,      // still waiting; the ports were tried again
  MeterBack,    // frames of the same family came again; logging goes on
};

// Told of the steps of an acquisition that outlive one tick: the session
// file follows them.
class AcquisitionListener {
 public:
  virtual ~AcquisitionListener() = default;
  virtual void acquisition_began() = 0;
  virtual void meter_lost() = 0;
  virtual void meter_back() = 0;
  virtual void acquisition_stopped() = 0;
};

// The ports of the system as they are now, for the tries after a loss.
using PortScan = std::function<PortMap()>;

enum class StartOutcome {
  Acquiring,  // a meter was found; the polling cycle runs from the next tick
  NoMeter,    // no port carried meter frames; the no-meter warning follows
  Abandoned,  // the caller gave Start up during a wait
};

// The caller's side of Start: how its two one-second waits are spent (the
// window pumps its events, the recorder sleeps) and what it shows between the
// steps. Both drive the one Start of Acquisition::start.
class StartDriver {
 public:
  virtual ~StartDriver() = default;
  // Spends one of the waits; false gives the Start up.
  virtual bool wait_listening() = 0;
  // Start's Reset is done: views that depend on the family go back.
  virtual void start_reset(MeterModel previous) { (void)previous; }
  // The meter's port was chosen (s.ActivePort) and the others closed.
  virtual void meter_found() {}
};

// The acquisition's state machine, one for the window and the command-line
// recorder: Start (search), the polling cycle's ticks (running), Stop and
// Reset. Each caller drives it with its own clock and waits.
//
// Start is split around its two one-second waits: begin_start, wait,
// finish_probe, wait, begin_acquiring; start() runs them in that order.
class Acquisition {
 public:
  Acquisition(MeterState& s, SerialPorts& ports) : s_(s), ports_(ports) {}

  AcquisitionState state() const { return state_; }

  // Reset: empties the log and the receive buffer and forgets the family,
  // which it returns so the window can restore the views that depend on it.
  MeterModel reset();

  // Start up to its first wait: Reset, the log counters, a cleared trace that
  // then shows the port map, and every port of the map opened. Returns what
  // reset() returned.
  MeterModel begin_start(const PortMap& map);

  // After the ports have listened for a second: probes them in order, keeps the
  // first that carries meter frames and closes the rest. None means no meter
  // was found and the state is NoMeter.
  MeterModel finish_probe();

  // After the second wait: the polling cycle may run from the next tick.
  void begin_acquiring();

  // How often Start listens again on the ports that another program held,
  // when no free port carried a meter: two programs started together may each
  // hold the other's meter for the first second.
  static constexpr int kBusyRetries = 3;

  // The whole of Start. A Start given up during a wait leaves the ports as
  // they are: the window's Exit leaves them to the system, the recorder
  // closes them with abandon_start(). When no meter was found but some ports
  // were held elsewhere, those (and only those) are opened and listened to
  // again, up to kBusyRetries times.
  StartOutcome start(const PortMap& map, StartDriver& driver);

  // After a Start found no meter: opens again the ports that were busy, for
  // one more listen; false when there were none.
  bool reopen_busy_ports();

  // After an abandoned Start: every port it opened is closed, as Stop ends.
  void abandon_start();

  // Stop: closes the active port (or the ports tried while waiting). The log,
  // the family and the views stay.
  void stop();

  // One tick of the display timer. A port that went away ends the
  // acquisition, its line in the trace, when no scan was given to
  // wait_for_lost_meter; otherwise the acquisition waits: each tick probes
  // the ports opened on the tick before (the lost device and the ones that
  // appeared since) and opens them again, until one brings frames of the
  // same family, on which logging goes on in the same log.
  TickOutcome tick(ReadingViews* views, const LocalClock& now);

  // Whether a lost meter is waited for, and how the system's ports are found
  // then. An empty scan ends the acquisition at a loss.
  void wait_for_lost_meter(PortScan scan) { scan_ = std::move(scan); }
  // The device the meter was on when it went away.
  const std::string& lost_device() const { return lost_device_; }

  // Not owned; whoever adds one removes it before it goes away.
  void add_listener(AcquisitionListener* listener) { listeners_.push_back(listener); }
  void remove_listener(AcquisitionListener* listener);

  // The main window is being closed: every open port is closed with its line.
  void close_all_ports();

  // Whether the no-meter warning should explain how to get access to ports.
  bool permission_hint() const;
  // What the no-meter warning explains after the last Start.
  PortRefusals refusals() const;

 private:
  void open_all_ports();
  void lose_meter();
  TickOutcome wait_tick();
  bool probe_candidates();
  void open_candidates();
  void close_candidates();
  template <typename Step>
  void tell(Step step) {
    for (AcquisitionListener* listener : listeners_) (listener->*step)();
  }

  MeterState& s_;
  SerialPorts& ports_;
  AcquisitionState state_ = AcquisitionState::Idle;
  std::vector<AcquisitionListener*> listeners_;
  PortScan scan_;
  std::string lost_device_;
  std::vector<std::string> known_devices_;  // present when the meter went away
};

// The text of the warning after a Start that found no meter, in the current
// language, with the hints that apply: the ports held elsewhere, then access.
std::string no_meter_message(const MeterState& s, const PortRefusals& why);

}  // namespace tarvo
