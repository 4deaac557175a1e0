#include "program.h"

#include "files/session_store.h"
#include "link/port_discovery.h"

namespace tarvo {

Program::Program(std::unique_ptr<SerialDevices> devices)
    : trace_(relay_),
      ports_(std::move(devices), trace_),
      acquisition_(session_, ports_),
      sessions_(session_, default_session_folder(), now_local),
      statistics_(session_.log, session_.DecimalSeparator),
      limits_(session_.DecimalSeparator) {
  session_.commit_listeners.push_back(&statistics_);
  session_.commit_listeners.push_back(&limits_);
  limits_.add_sink([this](const real_Record&, LimitBreach breach) {
    sessions_.outside_limits(breach_name(breach));
  });
  acquisition_.add_listener(&sessions_);
  // A meter that goes away is waited for: the ports of a Start are tried again.
  acquisition_.wait_for_lost_meter([this] { return port_map(); });
}

Program::~Program() {
  acquisition_.remove_listener(&sessions_);
  std::erase(session_.commit_listeners, &statistics_);
  std::erase(session_.commit_listeners, &limits_);
}

PortMap Program::port_map() const {
  if (port_map_source_) return port_map_source_();
  return system_port_map(named_ports_);
}

}  // namespace tarvo
