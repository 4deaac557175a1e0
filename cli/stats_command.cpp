#include "stats_command.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "convert_command.h"
#include "log/statistics.h"
#include "options.h"
#include "reading_json.h"

namespace tarvo::cli {

namespace {

constexpr std::string_view kPrefix = "tarvo-cli stats: ";

struct StatsArgs {
  LogFileArgs file;  // out unused
  bool json = false;
};

StatsArgs read_stats_args(const std::vector<std::string>& args) {
  StatsArgs a;
  std::vector<std::string> files;
  std::optional<std::string> separator;
  OptionReader r(args);
  while (!r.done()) {
    if (auto sep = r.take_decimal_separator()) {
      separator = *sep;
    } else if (r.take_flag("--json")) {
      a.json = true;
    } else {
      files.push_back(r.take_positional());
    }
  }
  if (files.size() != 1) throw UsageError("give the one log to read");
  a.file.in = files[0];
  a.file.separator = separator.value_or(environment_decimal_separator());
  return a;
}

nlohmann::ordered_json number_or_null(const std::optional<double>& value) {
  return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json text_or_null(const std::optional<std::string>& text) {
  return text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json(nullptr);
}

// The one key of all runs, when they agree.
std::optional<RunKey> common_key(const std::vector<RunStats>& runs) {
  if (runs.empty()) return std::nullopt;
  for (const RunStats& run : runs) {
    if (!(run.key == runs.front().key)) return std::nullopt;
  }
  return runs.front().key;
}

nlohmann::ordered_json stats_json(std::string_view scope, const std::optional<RunKey>& key,
                                  const RunningStats& s) {
  nlohmann::ordered_json j;
  j["scope"] = scope;
  j["first_index"] = s.first_index();
  j["last_index"] = s.last_index();
  j["function"] = text_or_null(key ? std::optional(key->function) : std::nullopt);
  j["unit"] = text_or_null(key ? std::optional(key->unit) : std::nullopt);
  j["count"] = s.count();
  j["numeric"] = s.numeric();
  j["overloads"] = s.overloads();
  j["min"] = number_or_null(s.min() ? std::optional(s.min()->value) : std::nullopt);
  j["max"] = number_or_null(s.max() ? std::optional(s.max()->value) : std::nullopt);
  j["mean"] = number_or_null(s.mean());
  j["stddev"] = number_or_null(s.stddev());
  j["min_time"] = text_or_null(s.min() ? std::optional(s.min()->time) : std::nullopt);
  j["max_time"] = text_or_null(s.max() ? std::optional(s.max()->time) : std::nullopt);
  return j;
}

std::string figure(const std::optional<double>& value) {
  if (!value) return "-";
  char text[64];
  std::snprintf(text, sizeof text, "%.10g", *value);
  return text;
}

std::string stats_text(std::string_view scope, const std::optional<RunKey>& key,
                       const RunningStats& s) {
  std::string line = std::string(scope) + " " + std::to_string(s.first_index()) + "-" +
                     std::to_string(s.last_index()) + " " + (key ? key->function : "(mixed)") +
                     " " + (key ? key->unit : "") + ": " + std::to_string(s.count()) +
                     " readings, " + std::to_string(s.overloads()) + " overloads";
  if (s.min()) line += ", min " + figure(s.min()->value) + " at " + s.min()->time;
  if (s.max()) line += ", max " + figure(s.max()->value) + " at " + s.max()->time;
  line += ", mean " + figure(s.mean()) + ", stddev " + figure(s.stddev());
  return line;
}

}  // namespace

int run_stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  StatsArgs a;
  try {
    a = read_stats_args(args);
  } catch (const UsageError& e) {
    err << kPrefix << e.what() << '\n';
    return 2;
  }
  const std::optional<ReadingLog> loaded = load_in_file(a.file, kPrefix, err);
  if (!loaded) return 1;
  const ReadingLog& log = *loaded;
  const std::vector<RunStats> runs = runs_of(log, 1, log.count(), a.file.separator);
  const RunningStats whole = stats_of(log, 1, log.count(), a.file.separator);
  const auto print = [&](std::string_view scope, const std::optional<RunKey>& key,
                         const RunningStats& s) {
    out << (a.json ? json_line(stats_json(scope, key, s)) : stats_text(scope, key, s)) << '\n';
  };
  for (const RunStats& run : runs) print("run", run.key, run.stats);
  print("log", common_key(runs), whole);
  return 0;
}

}  // namespace tarvo::cli
