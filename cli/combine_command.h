#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvo::cli {

// The arguments of combine: SESSION... OUT [--formula NAME=EXPR]... [--tolerance S].
struct CombineArgs {
  std::vector<std::filesystem::path> sessions;
  std::filesystem::path out;
  std::vector<std::pair<std::string, std::string>> formulas;  // name and expression
  std::optional<std::int64_t> tolerance_ms;                   // none: half the first interval
};

// Throws UsageError for a missing, extra or unknown argument, a formula
// without a name or with a taken one, and a tolerance that is no number of
// seconds from 0 on.
CombineArgs read_combine_args(const std::vector<std::string>& args);

// tarvo-cli combine SESSION... OUT [--formula NAME=EXPR]... [--tolerance S]
// Lines the readings of two or more session files up on the time base of the
// first, with the formula channels, and writes OUT (.csv or .xlsx). Returns
// the exit status: 0 written, 1 a session refused, units that do not go
// together or OUT not written (the reason on err), 2 bad arguments or a
// formula that cannot be read.
int run_combine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarvo::cli
