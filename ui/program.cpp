#include "program.h"

#include "files/session_store.h"
#include "link/port_discovery.h"

namespace tarvo {

Program::Program(std::unique_ptr<SerialDevices> devices)
    : trace_(relay_),
      ports_(std::move(devices), trace_),
      acquisition_(state_, ports_),
      session_keeper_(state_, default_session_folder(), now_local),
      statistics_(state_.log, state_.DecimalSeparator),
      limits_(state_.DecimalSeparator) {
  state_.commit_listeners.push_back(&statistics_);
  state_.commit_listeners.push_back(&limits_);
  limits_.add_sink([this](const real_Record&, LimitBreach breach) {
    session_keeper_.outside_limits(breach_name(breach));
  });
  acquisition_.add_listener(&session_keeper_);
  // A meter that goes away is waited for: the ports of a Start are tried again.
  acquisition_.wait_for_lost_meter([this] { return port_map(); });
}

Program::~Program() {
  acquisition_.remove_listener(&session_keeper_);
  std::erase(state_.commit_listeners, &statistics_);
  std::erase(state_.commit_listeners, &limits_);
}

PortMap Program::port_map() const {
  if (port_map_source_) return port_map_source_();
  return system_port_map(named_ports_);
}

}  // namespace tarvo
