#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decode/meter_model.h"
#include "publish/publish_target.h"

namespace tarvo {

// What the command line of the desktop program asks for.
struct ProgramOptions {
  std::vector<std::string> ports;  // --port, in the order given; tried before any other
  bool demo = false;
  MeterModel demo_family = kDefaultFamily;
  bool start = false;  // press Start once the window is shown
  bool debug = false;  // as if the marker file were beside the program
  bool help = false;
  bool version = false;
  int language = 0;                      // --language N: 1 to 5 for this run only, 0 when not given
  std::optional<PublishTarget> publish;  // --publish URL: every committed reading to a broker
};

// The parsed options, or the reason the command line cannot be used.
struct ParsedCommandLine {
  ProgramOptions options;
  std::string error;  // empty when the options are usable
};

// Options take their value as the next argument or after "=". Arguments the
// toolkit understands itself (-platform, -style, ...) must have been removed.
ParsedCommandLine parse_command_line(const std::vector<std::string>& args);

extern const std::string_view kProgramUsage;

}  // namespace tarvo
