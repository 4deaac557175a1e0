// The record command's configuration file, for a recording that runs as a
// service with nobody to type options: every option has a key of the same
// name, and the broker address is written in parts (broker, user, prefix).
#include "record_config.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>

#include "files/key_value_file.h"
#include "publish/publish_target.h"

namespace tarvo::cli {
namespace {

enum class Kind { Value, Path, Switch, Broker };

struct ConfigKey {
  std::string_view key;
  std::string_view option;  // empty for the parts of the broker address
  Kind kind;
  bool repeatable = false;
};

constexpr ConfigKey kKeys[] = {
    {"port", "--port", Kind::Value, true},
    {"meters", "--meters", Kind::Value},
    {"interval", "--interval", Kind::Value},
    {"count", "--count", Kind::Value},
    {"duration", "--duration", Kind::Value},
    {"out", "--out", Kind::Path},
    {"language", "--language", Kind::Value},
    {"decimal-separator", "--decimal-separator", Kind::Value},
    {"reconnect-timeout", "--reconnect-timeout", Kind::Value},
    {"high", "--high", Kind::Value},
    {"low", "--low", Kind::Value},
    {"hysteresis", "--hysteresis", Kind::Value},
    {"min-duration", "--min-duration", Kind::Value},
    {"stale", "--stale", Kind::Value},
    {"notify", "--notify", Kind::Switch},
    {"trace", "--trace", Kind::Switch},
    {"broker", "", Kind::Broker},
    {"user", "", Kind::Broker},
    {"prefix", "", Kind::Broker},
    {"password-file", "--password-file", Kind::Path},
    {"discovery", "--discovery", Kind::Switch},
    {"influx", "--influx", Kind::Value},
    {"influx-db", "--influx-db", Kind::Value},
    {"influx-org", "--influx-org", Kind::Value},
    {"influx-bucket", "--influx-bucket", Kind::Value},
    {"influx-token-file", "--influx-token-file", Kind::Path},
};

// Past this the file is surely not a configuration someone wrote.
constexpr std::uintmax_t kLargestFile = 1 << 20;

const ConfigKey& key_named(std::string_view key) {
  return *std::find_if(std::begin(kKeys), std::end(kKeys),
                       [&](const ConfigKey& k) { return k.key == key; });
}

std::string read_whole(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    throw UsageError("--config: \"" + file.string() + "\" is not a readable file");
  }
  if (std::filesystem::file_size(file, ec) > kLargestFile) {
    throw UsageError("--config: \"" + file.string() + "\" is too large for a configuration");
  }
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad()) {
    throw UsageError("--config: \"" + file.string() + "\" cannot be read");
  }
  return text;
}

std::string path_from(const std::filesystem::path& folder, const std::string& value) {
  if (value.starts_with("~/")) {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
      return (std::filesystem::path(home) / value.substr(2)).string();
  }
  const std::filesystem::path p(value);
  return p.is_absolute() ? value : (folder / p).string();
}

struct BrokerParts {
  const KeyValueEntry *broker = nullptr, *user = nullptr, *prefix = nullptr;
};

// mqtt[s]://host[:port] with the user before the host and the prefix after it.
ConfigArgument publish_argument(const std::filesystem::path& file, const BrokerParts& parts) {
  const KeyValueEntry* lone = parts.user != nullptr ? parts.user : parts.prefix;
  if (parts.broker == nullptr) {
    throw UsageError(config_problem(file, lone->line, "'" + lone->key + "' goes with 'broker'"));
  }
  std::string url = parts.broker->value;
  const std::size_t scheme = url.find("://");
  const std::size_t host = scheme == std::string::npos ? 0 : scheme + 3;
  const std::size_t slash = url.find('/', host);
  if (parts.user != nullptr) {
    if (url.find('@', host) < slash) {
      throw UsageError(
          config_problem(file, parts.user->line, "the broker address already names a user"));
    }
    url.insert(host, percent_encoded(parts.user->value) + "@");
  }
  if (parts.prefix != nullptr) {
    if (slash != std::string::npos) {
      throw UsageError(config_problem(file, parts.prefix->line,
                                      "the broker address already names a topic prefix"));
    }
    url += "/" + parts.prefix->value;
  }
  return {{"--publish=" + url}, parts.broker->line};
}

}  // namespace

std::string config_problem(const std::filesystem::path& file, int line, const std::string& what) {
  return file.string() + ": line " + std::to_string(line) + ": " + what;
}

std::vector<std::string_view> record_config_keys() {
  std::vector<std::string_view> keys;
  for (const ConfigKey& k : kKeys) keys.push_back(k.key);
  return keys;
}

std::optional<std::filesystem::path> take_config_option(std::vector<std::string>& args) {
  std::optional<std::filesystem::path> file;
  for (auto it = args.begin(); it != args.end();) {
    const bool alone = *it == "--config";
    if (!alone && !it->starts_with("--config=")) {
      ++it;
      continue;
    }
    if (file) throw UsageError("--config is given more than once");
    if (alone && std::next(it) == args.end()) throw UsageError("--config needs a value");
    file = alone ? *std::next(it) : it->substr(9);
    if (file->empty()) throw UsageError("--config needs a file name");
    it = args.erase(it, alone ? it + 2 : it + 1);
  }
  return file;
}

std::vector<ConfigArgument> read_record_config(const std::filesystem::path& file) {
  std::vector<KeyRule> rules;
  for (const ConfigKey& k : kKeys) rules.push_back({k.key, k.repeatable});
  auto parsed = parse_key_values(read_whole(file), rules);
  if (auto* why = std::get_if<std::string>(&parsed)) throw UsageError(file.string() + ": " + *why);
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  std::vector<ConfigArgument> out;
  BrokerParts broker;
  for (const KeyValueEntry& e : std::get<std::vector<KeyValueEntry>>(parsed)) {
    const ConfigKey& k = key_named(e.key);
    const std::string option(k.option);
    switch (k.kind) {
      case Kind::Value:
        out.push_back({{option, e.value}, e.line});
        break;
      case Kind::Path:
        out.push_back({{option, path_from(folder, e.value)}, e.line});
        break;
      case Kind::Switch: {
        const std::optional<bool> on = parse_switch(e.value);
        if (!on) throw UsageError(config_problem(file, e.line, "'" + e.key + "' is yes or no"));
        if (*on) out.push_back({{option}, e.line});
        break;
      }
      case Kind::Broker:
        (e.key == "broker" ? broker.broker : e.key == "user" ? broker.user : broker.prefix) = &e;
        break;
    }
  }
  if (broker.broker || broker.user || broker.prefix) out.push_back(publish_argument(file, broker));
  return out;
}

}  // namespace tarvo::cli
