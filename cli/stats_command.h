#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarvo::cli {

// tarvo-cli stats IN [--json] [--decimal-separator SEP]: the figures of each
// run of the log IN (a text log or a session file) in log order, then of the
// whole log. Returns 0, 1 when IN is refused, 2 for bad arguments.
int run_stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarvo::cli
