#pragma once

#include <chrono>

namespace tarvo::cli {

// SIGINT and SIGTERM only raise a flag; the command loops look at it between
// steps, so files are saved and links removed by ordinary code. Installing
// clears a flag left from an earlier run in the same process.
void install_stop_handlers();
bool stop_requested();

// Sleeps until the deadline, or less once a stop was requested.
void sleep_until_stopped(std::chrono::steady_clock::time_point deadline);

}  // namespace tarvo::cli
