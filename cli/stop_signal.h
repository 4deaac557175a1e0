#pragma once

#include <chrono>

namespace tarvo::cli {

// SIGINT and SIGTERM only raise a flag; the recording loop looks at it between
// ticks, so the log is always saved by ordinary code.
void install_stop_handlers();
bool stop_requested();

// Sleeps until the deadline, or less once a stop was requested.
void sleep_until_stopped(std::chrono::steady_clock::time_point deadline);

}  // namespace tarvo::cli
