#include "program.h"

#include "link/port_discovery.h"

namespace tarvo {

Program::Program(std::unique_ptr<SerialDevices> devices)
    : trace_(relay_), ports_(std::move(devices), trace_), acquisition_(session_, ports_) {}

PortMap Program::port_map() const {
  if (port_map_source_) return port_map_source_();
  return system_port_map(named_ports_);
}

}  // namespace tarvo
