#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace tarvo::cli {

// tarvo-cli sessions [--json]: the kept session files, newest first. Returns
// 0, or 2 for bad arguments.
int run_sessions(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int run_sessions(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::filesystem::path& folder);

}  // namespace tarvo::cli
