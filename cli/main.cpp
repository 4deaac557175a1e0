// tarvo-cli: the command-line companion of the Tarvo meter program.
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "chart_command.h"
#include "convert_command.h"
#include "decode_command.h"
#include "record_command.h"
#include "simulate_command.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: tarvo-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  decode [--family bench|compact] [--decimal-separator SEP] [--language N] [CHUNK ...]\n"
    "      Show what Tarvo makes of the given bytes. Each CHUNK is a string of hex byte\n"
    "      pairs (spaces or hyphens allowed); without CHUNKs they are read from standard\n"
    "      input, one per line. Prints one JSON line per chunk.\n"
    "\n"
    "  simulate [--family bench|compact] [--scenario FILE] [--link PATH]\n"
    "           [--hangup-after SECONDS]\n"
    "      Start a simulated meter on a pseudo-terminal and print the path of its port\n"
    "      on the first line. It plays the built-in demo, or the scenario FILE (see\n"
    "      sim/SCENARIOS.md), until interrupted. --link makes a symbolic link to the\n"
    "      port; --hangup-after closes the line after that many seconds.\n"
    "\n"
    "  record [--port PATH]... [--interval SECONDS] [--count N | --duration SECONDS]\n"
    "         [--out FILE.txt] [--language N] [--decimal-separator SEP] [--trace]\n"
    "         [--publish mqtt://[user[:password]@]host[:port]/topic/prefix]\n"
    "      Find the meter as Start does (the named ports first, then every serial port),\n"
    "      then log a reading every --interval seconds (1 to 120) until N readings, the\n"
    "      duration or Ctrl+C. Prints one JSON line per reading; --out saves the log\n"
    "      (also every minute); --trace shows the serial traffic on standard error;\n"
    "      --publish also sends every reading to an MQTT broker (mqtts:// for TLS).\n"
    "      Exit status: 0 done, 1 log not saved or readings left undelivered to the\n"
    "      broker, 2 bad arguments, 3 no meter found,\n"
    "      4 meter disconnected.\n"
    "\n"
    "  convert IN OUT [--decimal-separator SEP]\n"
    "      Read the text log IN as File > Open does (numbers with SEP, by default the\n"
    "      locale's) and write OUT by its extension: .txt, .xls, .xlsx or .csv.\n"
    "      Exit status: 0 written, 1 IN refused or OUT not written, 2 bad arguments.\n"
    "\n"
    "  chart IN OUT [--decimal-separator SEP]\n"
    "      Save the chart of the last page of the text log IN: OUT.jpg or OUT.png the\n"
    "      1910 x 1080 report picture, OUT.bmp the chart at 668 x 395. Draws offscreen\n"
    "      unless QT_QPA_PLATFORM is set. Exit status as for convert.\n"
    "\n"
    "  --help    show this text\n";

int run_command(std::vector<std::string> args) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    (args.empty() ? std::cerr : std::cout) << kUsage;
    return args.empty() ? 2 : 0;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "decode") return tarvo::cli::run_decode(args, std::cin, std::cout, std::cerr);
  if (command == "simulate") return tarvo::cli::run_simulate(args, std::cout, std::cerr);
  if (command == "record") return tarvo::cli::run_record(args, std::cout, std::cerr);
  if (command == "convert") return tarvo::cli::run_convert(args, std::cout, std::cerr);
  if (command == "chart") return tarvo::cli::run_chart(args, std::cout, std::cerr);
  std::cerr << "tarvo-cli: unknown command \"" << command << "\"\n" << kUsage;
  return 2;
}

}  // namespace

// A command that runs out of memory or meets any other failure ends with a
// reason and status 1, never with an abort; what it had written stays.
int main(int argc, char** argv) {
  try {
    return run_command(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::bad_alloc&) {
    std::cerr << "tarvo-cli: not enough memory\n";
  } catch (const std::exception& e) {
    std::cerr << "tarvo-cli: " << e.what() << '\n';
  } catch (...) {
    std::cerr << "tarvo-cli: an unexpected failure\n";
  }
  return 1;
}
