#include "command_line.h"

#include <optional>

#include "decode/meter_family.h"

namespace tarvo {

const std::string_view kProgramUsage =
    "Usage: tarvo [--port PATH]... [--demo [--family bench|compact]] [--start] [--debug]\n"
    "             [--publish mqtt://[user[:password]@]host[:port]/topic/prefix]\n"
    "\n"
    "Options:\n"
    "  --port PATH      try this serial device first when Start looks for the meter\n"
    "                   (may be given more than once; the order is kept)\n"
    "  --demo           run the built-in simulated meter on a pseudo-terminal and try it\n"
    "                   before every other port\n"
    "  --family FAMILY  the demo meter's family: bench (the default) or compact\n"
    "  --start          press Start as soon as the window is shown\n"
    "  --debug          show the debug window, as a debug.txt file beside the program does\n"
    "  --publish URL    publish every reading to an MQTT broker (mqtts:// for TLS)\n"
    "  --help, -h       show this text\n"
    "  --version        show the version\n";

namespace {

class ArgumentWalk {
 public:
  explicit ArgumentWalk(const std::vector<std::string>& args) : args_(args) {}

  bool done() const { return pos_ >= args_.size(); }
  const std::string& current() const { return args_[pos_]; }
  void skip() { ++pos_; }

  // The value of option `name` when it is the current argument. An option
  // without a value leaves `missing` set.
  std::optional<std::string> take(std::string_view name, bool& missing) {
    const std::string& arg = current();
    if (arg == name) {
      ++pos_;
      if (done()) {
        missing = true;
        return std::string();
      }
      return args_[pos_++];
    }
    if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
        arg[name.size()] == '=') {
      ++pos_;
      return arg.substr(name.size() + 1);
    }
    return std::nullopt;
  }

 private:
  const std::vector<std::string>& args_;
  std::size_t pos_ = 0;
};

}  // namespace

ParsedCommandLine parse_command_line(const std::vector<std::string>& args) {
  ParsedCommandLine parsed;
  ProgramOptions& o = parsed.options;
  bool family_given = false;
  ArgumentWalk walk(args);
  while (!walk.done()) {
    bool missing = false;
    const std::string arg = walk.current();
    if (auto port = walk.take("--port", missing)) {
      if (missing || port->empty()) return {o, "--port needs a device path"};
      o.ports.push_back(*port);
    } else if (auto family = walk.take("--family", missing)) {
      if (const std::optional<std::string> error = family_option_error(*family)) return {o, *error};
      o.demo_family = *family_named(*family);
      family_given = true;
    } else if (auto url = walk.take("--publish", missing)) {
      std::string why;
      if (missing) return {o, "--publish needs a broker address"};
      o.publish = parse_publish_url(*url, why);
      if (!o.publish) return {o, "--publish: " + why};
    } else if (arg == "--demo" || arg == "--start" || arg == "--debug" || arg == "--help" ||
               arg == "-h" || arg == "--version") {
      walk.skip();
      if (arg == "--demo") o.demo = true;
      if (arg == "--start") o.start = true;
      if (arg == "--debug") o.debug = true;
      if (arg == "--help" || arg == "-h") o.help = true;
      if (arg == "--version") o.version = true;
    } else {
      return {o, "unexpected argument \"" + arg + "\""};
    }
  }
  if (family_given && !o.demo) return {o, "--family only goes with --demo"};
  return parsed;
}

}  // namespace tarvo
