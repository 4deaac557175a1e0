// tarvo-cli: the command-line companion of the Tarvo meter program.
#include <algorithm>
#include <exception>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "chart_command.h"
#include "combine_command.h"
#include "convert_command.h"
#include "decode_command.h"
#include "publish/broker_password.h"
#include "record_command.h"
#include "scan_command.h"
#include "sessions_command.h"
#include "simulate_command.h"
#include "stats_command.h"
#include "usage.h"

namespace {

using tarvo::cli::command_usage;
using tarvo::cli::tool_usage;

// "-h" or "--help" anywhere after the command asks for its help, so a help
// request never runs the command; a file named "-h" is given as "./-h".
bool asks_for_help(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& a) { return a == "--help" || a == "-h"; });
}

int run_command(std::vector<std::string> args) {
  if (args.empty()) {
    std::cerr << tool_usage();
    return 2;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    const std::optional<std::string> usage = args.empty() ? tool_usage() : command_usage(args[0]);
    if (usage) {
      std::cout << *usage;
      return 0;
    }
    std::cerr << "tarvo-cli: unknown command \"" << args[0] << "\"\n" << tool_usage();
    return 2;
  }
  if (command == "--version") {
    std::cout << tarvo::cli::tool_version();
    return 0;
  }
  if (const std::optional<std::string> usage = command_usage(command);
      usage && asks_for_help(args)) {
    std::cout << *usage;
    return 0;
  }
  if (command == "decode") return tarvo::cli::run_decode(args, std::cin, std::cout, std::cerr);
  if (command == "simulate") return tarvo::cli::run_simulate(args, std::cout, std::cerr);
  if (command == "record") return tarvo::cli::run_record(args, std::cout, std::cerr);
  if (command == "stats") return tarvo::cli::run_stats(args, std::cout, std::cerr);
  if (command == "sessions") return tarvo::cli::run_sessions(args, std::cout, std::cerr);
  if (command == "scan") return tarvo::cli::run_scan(args, std::cout, std::cerr);
  if (command == "convert") return tarvo::cli::run_convert(args, std::cout, std::cerr);
  if (command == "combine") return tarvo::cli::run_combine(args, std::cout, std::cerr);
  if (command == "chart") return tarvo::cli::run_chart(args, std::cout, std::cerr);
  std::cerr << "tarvo-cli: unknown command \"" << command << "\"\n" << tool_usage();
  return 2;
}

}  // namespace

// A command that runs out of memory or meets any other failure ends with a
// reason and status 1, never with an abort; what it had written stays.
int main(int argc, char** argv) {
  try {
    std::vector<std::string> args(argv + 1, argv + argc);
    // A broker password given in an address stays in the copy; the arguments
    // every user can list no longer show it.
    for (int i = 1; i < argc; ++i) tarvo::mask_address_password(argv[i]);
    return run_command(std::move(args));
  } catch (const std::bad_alloc&) {
    std::cerr << "tarvo-cli: not enough memory\n";
  } catch (const std::exception& e) {
    std::cerr << "tarvo-cli: " << e.what() << '\n';
  } catch (...) {
    std::cerr << "tarvo-cli: an unexpected failure\n";
  }
  return 1;
}
