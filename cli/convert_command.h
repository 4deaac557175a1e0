#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/log_file.h"
#include "log/reading_log.h"

namespace tarvo::cli {

// The arguments of a command that reads a text log and writes a file:
// IN OUT [--decimal-separator SEP].
struct LogFileArgs {
  std::filesystem::path in;
  std::filesystem::path out;
  std::string separator;  // the locale's decimal separator unless given
};

// Throws UsageError for a missing, extra or unknown argument.
LogFileArgs read_log_file_args(const std::vector<std::string>& args);

// The decimal separator of the locale the environment names (LC_ALL,
// LC_NUMERIC, LANG); "." when it names none or one this system lacks.
std::string environment_decimal_separator();

// Reads the text log a.in for a command; on refusal writes why to err, after
// prefix and the file's name, and returns nullopt.
std::optional<ReadingLog> load_in_file(const LogFileArgs& a, std::string_view prefix,
                                       std::ostream& err);
// The same with a session's events.
std::optional<OpenedLog> open_in_file(const LogFileArgs& a, std::string_view prefix,
                                      std::ostream& err);

// tarvo-cli convert IN OUT [--decimal-separator SEP]
// Reads the text log IN by the rules of File > Open (every record valid, its
// numbers written with SEP) and writes OUT by its extension: .txt, .xls,
// .xlsx or .csv. Returns the exit status: 0 written, 1 IN refused or OUT not
// written (the reason on err), 2 bad arguments.
int run_convert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarvo::cli
