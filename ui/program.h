#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/debug_trace.h"
#include "link/serial_device.h"
#include "recording/recording.h"
#include "settings_store.h"

namespace tarvo {

// Hands the port lines to the debug window once it exists; until then (and
// in tests that need no window) they are dropped.
class RelayTrace final : public DebugTrace {
 public:
  void set_target(DebugTrace* target) { target_ = target; }
  void add_line(std::string line) override {
    if (target_ != nullptr) target_->add_line(std::move(line));
  }
  void clear() override {
    if (target_ != nullptr) target_->clear();
  }

 private:
  DebugTrace* target_ = nullptr;
};

// Everything the program knows while it runs, created once and passed by
// reference to the windows: what the acquisition drives (the same recording
// as tarvo-cli record's, with the window's trace), and what the desktop keeps.
class Program {
 public:
  using PortMapSource = std::function<PortMap()>;

  explicit Program(std::unique_ptr<SerialDevices> devices = make_system_serial_devices());
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Recording& recording() { return recording_; }
  MeterState& state() { return recording_.state(); }
  const MeterState& state() const { return recording_.state(); }
  SerialPorts& ports() { return recording_.ports(); }
  Acquisition& acquisition() { return recording_.acquisition(); }
  // The session file of the log, in the user's state folder.
  SessionKeeper& session_keeper() { return recording_.session_keeper(); }
  // The figures of the log, and the limits each commit is checked against.
  StatisticsFollower& statistics() { return recording_.statistics(); }
  LimitWatch& limits() { return recording_.limits(); }
  // What the desktop keeps between runs; no file unless main() names one.
  SettingsStore& settings() { return settings_; }

  void set_trace_target(DebugTrace* target) { relay_.set_target(target); }

  // Devices tried before the ones the system lists, in this order.
  void set_named_ports(std::vector<std::string> devices) { named_ports_ = std::move(devices); }
  const std::vector<std::string>& named_ports() const { return named_ports_; }

  // The ports of one Start: by default the named ones, then the system's.
  // Tests replace it so that no real port of the machine takes part.
  void set_port_map_source(PortMapSource source) { port_map_source_ = std::move(source); }
  PortMap port_map() const;

  // Whether the debug window comes up with the main window and at every Start.
  bool DebugEnabled = false;
  // The language of this run from the command line (1 to 5), 0 for the kept one.
  int language_for_run = 0;

 private:
  RelayTrace relay_;
  Recording recording_;
  SettingsStore settings_;
  std::vector<std::string> named_ports_;
  PortMapSource port_map_source_;
};

}  // namespace tarvo
