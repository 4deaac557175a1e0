#include "program.h"

#include "files/session_group.h"
#include "files/session_store.h"
#include "link/port_discovery.h"

namespace tarvo {

Program::Program(std::unique_ptr<SerialDevices> devices)
    : recording_(
          {std::move(devices), relay_, now_local, default_session_folder(), default_group_file()}) {
  // A meter that goes away is waited for: the ports of a Start are tried again.
  recording_.acquisition().wait_for_lost_meter([this] { return port_map(); });
}

Program::~Program() = default;

PortMap Program::port_map() const {
  if (port_map_source_) return port_map_source_();
  return system_port_map(named_ports_);
}

}  // namespace tarvo
