#include "files/user_settings.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <string_view>

namespace tarvo {

namespace {

constexpr int kLanguages = 5;
constexpr std::int64_t kLongestInterval = 120;
constexpr int kFarthest = 100000;  // a window's corner, in pixels, either way
constexpr int kSmallest = 50, kLargest = 20000;
constexpr std::size_t kLongestKeyText = 32;
constexpr std::size_t kLongestPath = 4096;
// An address, a user name, a topic prefix, a database name: longer is no setting.
constexpr std::size_t kLongestPublishText = 1024;

constexpr std::array<std::string_view, kToolWindows> kToolKeys{"statistics", "overview", "debug"};

template <typename T>
std::optional<T> number(std::string_view text) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || at != end || text.empty()) return std::nullopt;
  return value;
}

template <typename T>
std::optional<T> number_in(const SettingsValues& values, const std::string& key, T low, T high) {
  const auto it = values.find(key);
  if (it == values.end()) return std::nullopt;
  const std::optional<T> value = number<T>(it->second);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

std::optional<double> finite(const SettingsValues& values, const std::string& key) {
  const auto it = values.find(key);
  if (it == values.end()) return std::nullopt;
  const std::optional<double> value = number<double>(it->second);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

// A hysteresis or a number of seconds: a negative one or none at all is 0.
double not_negative(const SettingsValues& values, const std::string& key) {
  const std::optional<double> value = finite(values, key);
  return value && *value > 0 ? *value : 0;
}

AlarmTimings alarm_of(const SettingsValues& values) {
  return {not_negative(values, "limits/hysteresis"), not_negative(values, "limits/min_duration"),
          not_negative(values, "limits/stale")};
}

// Printable and short: the function and unit words of a reading ("DCV", "°C").
bool plain_word(std::string_view text, std::size_t longest) {
  if (text.empty() || text.size() > longest) return false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  }
  return true;
}

std::string text_of(const SettingsValues& values, const std::string& key, std::size_t longest) {
  const auto it = values.find(key);
  return it != values.end() && plain_word(it->second, longest) ? it->second : std::string();
}

std::optional<bool> flag(const SettingsValues& values, const std::string& key) {
  const auto it = values.find(key);
  if (it == values.end()) return std::nullopt;
  if (it->second == "true") return true;
  if (it->second == "false") return false;
  return std::nullopt;
}

AlarmActions actions_of(const SettingsValues& values) {
  return {flag(values, "alarm/notices").value_or(true), flag(values, "alarm/broker").value_or(true),
          text_of(values, "alarm/command", kLongestPath)};
}

void put_actions(const AlarmActions& a, SettingsValues& values) {
  if (!a.notices) values["alarm/notices"] = "false";
  if (!a.to_broker) values["alarm/broker"] = "false";
  if (!a.command.empty()) values["alarm/command"] = a.command;
}

// "x y width height".
std::optional<WindowPlace> place(const SettingsValues& values, const std::string& key) {
  const auto it = values.find(key);
  if (it == values.end()) return std::nullopt;
  std::istringstream in(it->second);
  std::string words[4], extra;
  if (!(in >> words[0] >> words[1] >> words[2] >> words[3]) || (in >> extra)) return std::nullopt;
  const auto x = number<int>(words[0]), y = number<int>(words[1]);
  const auto w = number<int>(words[2]), h = number<int>(words[3]);
  const auto near = [](const std::optional<int>& v) { return v && std::abs(*v) <= kFarthest; };
  const auto sized = [](const std::optional<int>& v) {
    return v && *v >= kSmallest && *v <= kLargest;
  };
  if (!near(x) || !near(y) || !sized(w) || !sized(h)) return std::nullopt;
  return WindowPlace{*x, *y, *w, *h};
}

std::optional<Limits> limits_of(const SettingsValues& values) {
  Limits limits;
  limits.key.function = text_of(values, "limits/function", kLongestKeyText);
  limits.key.unit = text_of(values, "limits/unit", kLongestKeyText);
  limits.high = finite(values, "limits/high");
  limits.low = finite(values, "limits/low");
  if (limits.key.function.empty() || limits.key.unit.empty() || !limits.any()) return std::nullopt;
  if (limits.high && limits.low && *limits.low > *limits.high) return std::nullopt;
  return limits;
}

std::string number_text(double value) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

void put_alarm(const AlarmTimings& alarm, SettingsValues& values) {
  if (alarm.hysteresis > 0) values["limits/hysteresis"] = number_text(alarm.hysteresis);
  if (alarm.min_duration > 0) values["limits/min_duration"] = number_text(alarm.min_duration);
  if (alarm.stale > 0) values["limits/stale"] = number_text(alarm.stale);
}

std::string place_text(const WindowPlace& p) {
  return std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.width) + " " +
         std::to_string(p.height);
}

PublishSettings publishing_of(const SettingsValues& values) {
  PublishSettings p;
  const auto text = [&](const char* key) { return text_of(values, key, kLongestPublishText); };
  p.broker = text("publish/broker");
  p.tls = flag(values, "publish/tls").value_or(false);
  p.user = text("publish/user");
  p.prefix = text("publish/prefix");
  p.discovery = flag(values, "publish/discovery").value_or(false);
  p.influx = text("influx/url");
  p.influx_db = text("influx/database");
  p.influx_org = text("influx/org");
  p.influx_bucket = text("influx/bucket");
  return p;
}

void put_publishing(const PublishSettings& p, SettingsValues& values) {
  const auto put = [&](const char* key, const std::string& value) {
    if (!value.empty()) values[key] = value;
  };
  put("publish/broker", p.broker);
  if (p.tls) values["publish/tls"] = "true";
  put("publish/user", p.user);
  put("publish/prefix", p.prefix);
  if (p.discovery) values["publish/discovery"] = "true";
  put("influx/url", p.influx);
  put("influx/database", p.influx_db);
  put("influx/org", p.influx_org);
  put("influx/bucket", p.influx_bucket);
}

}  // namespace

SettingsRead read_user_settings(const SettingsValues& values) {
  SettingsRead read;
  if (values.empty()) return read;  // the first start
  const auto format = values.find("format");
  const std::optional<int> version =
      format == values.end() ? std::nullopt : number<int>(format->second);
  if (!version || *version < 1) {
    read.ignored = "no format version in it";
    return read;
  }
  if (*version > kSettingsFormat) {
    read.ignored = "written by a later version (format " + std::to_string(*version) + ")";
    read.newer = true;
    return read;
  }
  UserSettings& s = read.settings;
  s.language = number_in<int>(values, "language", 1, kLanguages);
  s.interval = number_in<std::int64_t>(values, "interval", 1, kLongestInterval);
  s.limits = limits_of(values);
  s.alarm = alarm_of(values);
  s.actions = actions_of(values);
  s.muted = flag(values, "limits/muted").value_or(false);
  s.main_window = place(values, "windows/main");
  for (std::size_t i = 0; i < kToolWindows; ++i) {
    const std::string key = "windows/" + std::string(kToolKeys[i]);
    s.tools[i].place = place(values, key);
    s.tools[i].open = s.tools[i].place && flag(values, key + "_open").value_or(false);
  }
  s.open_file = text_of(values, "files/open", kLongestPath);
  s.save_file = text_of(values, "files/save", kLongestPath);
  s.publishing = publishing_of(values);
  return read;
}

SettingsValues settings_values(const UserSettings& s) {
  SettingsValues values{{"format", std::to_string(kSettingsFormat)}};
  if (s.language) values["language"] = std::to_string(*s.language);
  if (s.interval) values["interval"] = std::to_string(*s.interval);
  if (s.limits) {
    values["limits/function"] = s.limits->key.function;
    values["limits/unit"] = s.limits->key.unit;
    if (s.limits->high) values["limits/high"] = number_text(*s.limits->high);
    if (s.limits->low) values["limits/low"] = number_text(*s.limits->low);
  }
  put_alarm(s.alarm, values);
  put_actions(s.actions, values);
  if (s.muted) values["limits/muted"] = "true";
  if (s.main_window) values["windows/main"] = place_text(*s.main_window);
  for (std::size_t i = 0; i < kToolWindows; ++i) {
    if (!s.tools[i].place) continue;
    const std::string key = "windows/" + std::string(kToolKeys[i]);
    values[key] = place_text(*s.tools[i].place);
    values[key + "_open"] = s.tools[i].open ? "true" : "false";
  }
  if (!s.open_file.empty()) values["files/open"] = s.open_file;
  if (!s.save_file.empty()) values["files/save"] = s.save_file;
  put_publishing(s.publishing, values);
  return values;
}

}  // namespace tarvo
