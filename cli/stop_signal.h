#pragma once

#include <chrono>

namespace tarvo::cli {

// SIGINT, SIGTERM and SIGHUP only raise a flag; the command loops look at it
// between steps, so files are saved and links removed by ordinary code.
// SIGHUP is left alone when it was ignored (nohup). Installing clears a flag
// left from an earlier run in the same process.
void install_stop_handlers();
bool stop_requested();

// A reader that went away then fails the write (EPIPE) instead of ending the
// process, so a command can go on without its standard output.
void ignore_broken_pipe();

// Sleeps until the deadline, or less once a stop was requested.
void sleep_until_stopped(std::chrono::steady_clock::time_point deadline);

}  // namespace tarvo::cli
