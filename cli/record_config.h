#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "options.h"

namespace tarvo::cli {

// The value of --config, taken out of the arguments; nullopt without one.
std::optional<std::filesystem::path> take_config_option(std::vector<std::string>& args);

// One option of the record command as it would stand on the command line,
// with where it came from in the configuration file.
struct ConfigArgument {
  std::vector<std::string> args;  // "--interval=10", or a flag alone: "--trace"
  int line = 0;
};

// The record options a configuration file gives, in the order of the file.
// Relative paths are taken from the file's folder and "~/" from $HOME; the
// broker, user and prefix keys make one --publish address. A UsageError
// names the file and the line.
std::vector<ConfigArgument> read_record_config(const std::filesystem::path& file);

// The keys a configuration file may hold, in the order of the options' help.
std::vector<std::string_view> record_config_keys();

// "FILE: line N: what", the form of every complaint about the file.
std::string config_problem(const std::filesystem::path& file, int line, const std::string& what);

}  // namespace tarvo::cli
