#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tarvo::cli {

// tarvo-cli simulate: see the usage text of the tool. Returns the exit status.
int run_simulate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarvo::cli
