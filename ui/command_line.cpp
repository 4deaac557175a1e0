#include "command_line.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "decode/meter_family.h"
#include "publish/broker_password.h"

namespace tarvo {

const std::string_view kProgramUsage =
    "Usage: tarvo [--port PATH]... [--demo [--family bench|compact]] [--start] [--debug]\n"
    "             [--language N]\n"
    "             [--publish mqtt://[user@]host[:port]/topic/prefix [--password-file FILE]\n"
    "              [--discovery]]\n"
    "\n"
    "Options:\n"
    "  --port PATH      try this serial device first when Start looks for the meter\n"
    "                   (may be given more than once; the order is kept)\n"
    "  --demo           run the built-in simulated meter on a pseudo-terminal and try it\n"
    "                   before every other port\n"
    "  --family FAMILY  the demo meter's family: bench (the default) or compact\n"
    "  --start          press Start as soon as the window is shown\n"
    "  --debug          show the debug window, as a debug.txt file beside the program does\n"
    "  --language N     this run in language N: 1 English, 2 Simplified Chinese,\n"
    "                   3 French, 4 German, 5 Spanish (the kept language is left as it is)\n"
    "  --publish URL    publish every reading to an MQTT broker (mqtts:// for TLS)\n"
    "  --password-file FILE\n"
    "                   the broker password, from a file only you can read (chmod 600);\n"
    "                   else from TARVO_MQTT_PASSWORD. A password in the URL\n"
    "                   (user:password@) works but other users may see it\n"
    "  --discovery      announce the readings to Home Assistant (MQTT discovery)\n"
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
  // without a value leaves `missing` set; one given again leaves `repeated`.
  std::optional<std::string> take_once(std::string_view name, bool& missing, bool& repeated) {
    std::optional<std::string> value = take(name, missing);
    if (!value) return value;
    repeated = std::find(taken_.begin(), taken_.end(), name) != taken_.end();
    taken_.emplace_back(name);
    return value;
  }

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
  std::vector<std::string> taken_;
  std::size_t pos_ = 0;
};

}  // namespace

ParsedCommandLine parse_command_line(const std::vector<std::string>& args) {
  ParsedCommandLine parsed;
  ProgramOptions& o = parsed.options;
  bool family_given = false;
  bool discovery = false;
  ArgumentWalk walk(args);
  std::optional<std::filesystem::path> password_file;
  while (!walk.done()) {
    bool missing = false;
    bool repeated = false;
    const std::string arg = walk.current();
    if (auto port = walk.take("--port", missing)) {
      if (missing || port->empty()) return {o, "--port needs a device path"};
      o.ports.push_back(*port);
    } else if (auto family = walk.take_once("--family", missing, repeated)) {
      if (repeated) return {o, "--family is given more than once"};
      if (const std::optional<std::string> error = family_option_error(*family)) return {o, *error};
      o.demo_family = *family_named(*family);
      family_given = true;
    } else if (auto language = walk.take_once("--language", missing, repeated)) {
      if (missing) return {o, "--language needs a number from 1 to 5"};
      if (repeated) return {o, "--language is given more than once"};
      if (language->size() != 1 || (*language)[0] < '1' || (*language)[0] > '5') {
        return {o, "--language takes a number from 1 to 5, not \"" + *language + "\""};
      }
      o.language = (*language)[0] - '0';
    } else if (auto url = walk.take_once("--publish", missing, repeated)) {
      std::string why;
      if (missing) return {o, "--publish needs a broker address"};
      if (repeated) return {o, "--publish is given more than once"};
      o.publish = parse_publish_url(*url, why);
      if (!o.publish) return {o, "--publish: " + why};
    } else if (auto file = walk.take_once("--password-file", missing, repeated)) {
      if (missing || file->empty()) return {o, "--password-file needs a file name"};
      if (repeated) return {o, "--password-file is given more than once"};
      password_file = *file;
    } else if (arg == "--discovery") {
      walk.skip();
      discovery = true;
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
  if (password_file && !o.publish) return {o, "--password-file goes with --publish"};
  if (discovery && !o.publish) return {o, "--discovery goes with --publish"};
  if (o.publish) o.publish->discovery = discovery;
  if (o.publish) {
    PasswordSources sources{password_file, std::nullopt};
    if (const char* value = std::getenv(kPasswordVariable)) sources.environment = value;
    std::string why;
    if (!take_password(*o.publish, sources, why)) return {o, "--publish: " + why};
  }
  return parsed;
}

}  // namespace tarvo
