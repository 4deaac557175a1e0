#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "link/port_discovery.h"

namespace tarvo::cli {

// What the scan takes from the world outside; tests pass a tree of their own
// and a listen that feeds the ports instead of waiting.
struct ScanEnvironment {
  DiscoveryRoots roots;
  // Spends the second in which every opened port collects bytes.
  std::function<void()> listen;
};

// The system's serial ports and a real one-second wait.
ScanEnvironment system_scan_environment();

// tarvo-cli scan [--port PATH]... [--json]
// Opens the ports Start would try, in its order, lets them listen for a second
// and tells of each what the system knows, whether it opened (or why not) and
// which family's frames it carried. Returns 0 when some port carried a
// meter's frames, 1 on a failure, 2 for bad arguments, 3 when none did.
int run_scan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int run_scan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const ScanEnvironment& env);

}  // namespace tarvo::cli
