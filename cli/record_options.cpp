#include "record_options.h"

#include "files/save_target.h"
#include "log/statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "options.h"
#include "publish/broker_password.h"
#include "record_config.h"

namespace tarvo::cli {
namespace {

constexpr long kMostReadings = 1'000'000'000;
constexpr long kMostSeconds = 10L * 366 * 24 * 3600;
constexpr long kMostPretrigger = 100'000;  // held in memory while armed

// A recording that could never be saved should fail now, not after hours.
void check_out_file(const std::filesystem::path& file) {
  if (file.empty() || !file.has_filename()) throw UsageError("--out needs a file name");
  std::error_code ec;
  const std::filesystem::path dir = file.has_parent_path() ? file.parent_path() : ".";
  if (!std::filesystem::is_directory(dir, ec)) {
    throw UsageError("--out: no such folder \"" + dir.string() + "\"");
  }
  if (const std::optional<std::string> problem = save_target_problem(file)) {
    throw UsageError("--out: \"" + file.string() + "\" is refused: " + *problem);
  }
}

// A limit is written with a "." (the command line's numbers are not the meter's texts).
double parse_limit(const std::string& text, const char* option) {
  const std::optional<double> value = main_value(text, ".");
  if (!value) throw UsageError(std::string(option) + ": \"" + text + "\" is not a number");
  return *value;
}

TriggerCondition parse_condition(const std::string& text, const char* option) {
  std::string why;
  const std::optional<TriggerCondition> c = parse_trigger(text, why);
  if (!c) throw UsageError(std::string(option) + ": " + why);
  return *c;
}

// A hysteresis or a duration: a number with a ".", not below zero.
double parse_amount(const std::string& text, const char* option) {
  const double value = parse_limit(text, option);
  if (value < 0 || !std::isfinite(value)) {
    throw UsageError(std::string(option) + ": \"" + text + "\" is below zero");
  }
  return value;
}

// The password from the file, the address or the environment; never a word
// of it in a message.
void complete_password(RecordOptions& o, const std::optional<std::filesystem::path>& file) {
  if (!o.publish) {
    if (file) throw UsageError("--password-file goes with --publish");
    return;
  }
  PasswordSources sources{file, std::nullopt};
  if (const char* value = std::getenv(kPasswordVariable)) sources.environment = value;
  std::string why;
  if (!take_password(*o.publish, sources, why)) throw UsageError("--publish: " + why);
}

// The InfluxDB options go together; the token never comes from the command line.
void complete_influx(RecordOptions& o, InfluxSettings influx, bool influx_given,
                     bool influx_options) {
  if (!influx_given) {
    if (influx_options) throw UsageError("the --influx-... options go with --influx URL");
    return;
  }
  if (const char* value = std::getenv(kInfluxTokenVariable)) influx.token_variable = value;
  std::string why;
  o.influx = influx_target(influx, why);
  if (!o.influx) throw UsageError("--influx: " + why);
}

// What the options give that is checked only once all are read.
struct PendingOptions {
  std::optional<std::filesystem::path> password_file;
  bool discovery = false;
  InfluxSettings influx;
  bool influx_given = false;
  bool influx_options = false;
};

// The option at the reader's position into o; a UsageError for one it does
// not know or cannot take.
void take_option(OptionReader& r, RecordOptions& o, PendingOptions& p) {
  if (auto port = r.take_each("--port")) {
    if (port->empty()) throw UsageError("--port needs a device path");
    o.ports.push_back(*port);
  } else if (auto interval = r.take("--interval")) {
    o.interval = parse_int_in(*interval, 1, 120, "--interval");
  } else if (auto count = r.take("--count")) {
    o.count = parse_int_in(*count, 1, kMostReadings, "--count");
  } else if (auto duration = r.take("--duration")) {
    o.duration = parse_int_in(*duration, 1, kMostSeconds, "--duration");
  } else if (auto out = r.take("--out")) {
    o.out = std::filesystem::path(*out);
  } else if (auto lang = r.take("--language")) {
    o.language = static_cast<int>(parse_int_in(*lang, 1, 5, "--language"));
  } else if (auto sep = r.take_decimal_separator()) {
    o.separator = *sep;
  } else if (auto high = r.take("--high")) {
    o.high = parse_limit(*high, "--high");
  } else if (auto low = r.take("--low")) {
    o.low = parse_limit(*low, "--low");
  } else if (auto h = r.take("--hysteresis")) {
    o.hysteresis = parse_amount(*h, "--hysteresis");
  } else if (auto d = r.take("--min-duration")) {
    o.min_duration = parse_amount(*d, "--min-duration");
  } else if (auto stale = r.take("--stale")) {
    o.stale = static_cast<double>(parse_int_in(*stale, 1, kMostSeconds, "--stale"));
  } else if (r.take_flag("--notify")) {
    o.notify = true;
  } else if (auto when = r.take("--start-when")) {
    o.start_when = parse_condition(*when, "--start-when");
  } else if (auto when = r.take("--stop-when")) {
    o.stop_when = parse_condition(*when, "--stop-when");
  } else if (auto n = r.take("--pretrigger")) {
    o.pretrigger = parse_int_in(*n, 0, kMostPretrigger, "--pretrigger");
  } else if (auto after = r.take("--stop-after")) {
    std::string why;
    const std::optional<StopAfter> stop = parse_stop_after(*after, why);
    if (!stop) throw UsageError("--stop-after: " + why);
    o.stop_after = *stop;
  } else if (auto timeout = r.take("--reconnect-timeout")) {
    o.reconnect_timeout = parse_int_in(*timeout, 0, kMostSeconds, "--reconnect-timeout");
  } else if (auto url = r.take("--publish")) {
    std::string why;
    o.publish = parse_publish_url(*url, why);
    if (!o.publish) throw UsageError("--publish: " + why);
  } else if (auto file = r.take("--password-file")) {
    if (file->empty()) throw UsageError("--password-file needs a file name");
    p.password_file = *file;
  } else if (auto influx_url = r.take("--influx")) {
    p.influx_given = true;
    p.influx.url = *influx_url;
  } else if (auto db = r.take("--influx-db")) {
    p.influx.database = *db;
    p.influx_options = true;
  } else if (auto org = r.take("--influx-org")) {
    p.influx.org = *org;
    p.influx_options = true;
  } else if (auto bucket = r.take("--influx-bucket")) {
    p.influx.bucket = *bucket;
    p.influx_options = true;
  } else if (auto token_file = r.take("--influx-token-file")) {
    if (token_file->empty()) throw UsageError("--influx-token-file needs a file name");
    p.influx.token_file = *token_file;
    p.influx_options = true;
  } else if (r.take_flag("--discovery")) {
    p.discovery = true;
  } else if (auto meters = r.take("--meters")) {
    o.meters = static_cast<int>(parse_int_in(*meters, 1, kMostMeters, "--meters"));
  } else if (r.take_flag("--trace")) {
    o.trace = true;
  } else {
    throw UsageError("unexpected argument \"" + r.take_positional() + "\"");
  }
}

// The file's options first, each checked alone so that a complaint can name
// its line; what the command line gives then takes their place.
void take_config(const std::filesystem::path& file, const std::vector<std::string>& command_line,
                 RecordOptions& o, PendingOptions& p) {
  for (const ConfigArgument& a : read_record_config(file)) {
    try {
      OptionReader r(a.args);
      take_option(r, o, p);
    } catch (const UsageError& e) {
      throw UsageError(config_problem(file, a.line, e.what()));
    }
  }
  const auto given = [&](const std::string& name) {
    return std::any_of(command_line.begin(), command_line.end(), [&](const std::string& arg) {
      return arg == name || arg.starts_with(name + "=");
    });
  };
  if (given("--port")) o.ports.clear();
  // One way to end the recording on the command line sets the file's other aside.
  if (given("--count")) o.duration.reset();
  if (given("--duration")) o.count.reset();
}

}  // namespace

RecordOptions read_record_options(std::vector<std::string> args) {
  RecordOptions o;
  PendingOptions p;
  // Everything after --alarm-command is the command, word for word.
  const auto command = std::find(args.begin(), args.end(), "--alarm-command");
  if (command != args.end()) {
    o.alarm_command.assign(command + 1, args.end());
    if (o.alarm_command.empty()) throw UsageError("--alarm-command needs a command");
    args.erase(command, args.end());
  }
  if (const std::optional<std::filesystem::path> file = take_config_option(args)) {
    take_config(*file, args, o, p);
  }
  OptionReader r(args);
  while (!r.done()) take_option(r, o, p);
  if (o.count && o.duration) throw UsageError("--count and --duration exclude each other");
  if (o.high && o.low && *o.low > *o.high) throw UsageError("--low is above --high");
  const bool conditional =
      o.stop_when || o.pretrigger > 0 || o.stop_after.readings > 0 || o.stop_after.seconds > 0;
  if (conditional && !o.start_when) {
    throw UsageError("--pretrigger, --stop-when and --stop-after go with --start-when");
  }
  if ((o.hysteresis > 0 || o.min_duration > 0) && !o.high && !o.low) {
    throw UsageError("--hysteresis and --min-duration go with --high or --low");
  }
  if (o.out) check_out_file(*o.out);
  complete_password(o, p.password_file);
  if (p.discovery && !o.publish) throw UsageError("--discovery goes with --publish");
  if (o.publish) o.publish->discovery = p.discovery;
  complete_influx(o, std::move(p.influx), p.influx_given, p.influx_options);
  if (o.language == 0) o.language = language_from_environment();
  return o;
}

}  // namespace tarvo::cli
