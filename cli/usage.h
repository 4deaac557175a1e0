#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::cli {

// What `tarvo-cli --help` prints: every command with its synopsis, what it
// does and its options. The manual page is made from this text.
std::string tool_usage();

// What `tarvo-cli COMMAND --help` prints; nullopt for a command there is none of.
std::optional<std::string> command_usage(std::string_view command);

// "tarvo-cli 1.0.0", the first line help2man reads the version from.
std::string tool_version();

}  // namespace tarvo::cli
