#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "log/limits.h"

namespace tarvo {

// What the desktop program keeps between runs. A value that is missing, or
// was out of range in the file, is not there and the first-start value holds.
struct WindowPlace {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

enum class ToolWindow { Statistics, Overview, Debug };
inline constexpr std::size_t kToolWindows = 3;

struct ToolWindowState {
  bool open = false;
  std::optional<WindowPlace> place;
  friend bool operator==(const ToolWindowState&, const ToolWindowState&) = default;
};

// Where the window publishes readings, as Settings > Publishing keeps it. The
// password and the token are not here: the desktop's keychain holds them.
struct PublishSettings {
  std::string broker;  // "host" or "host:port"; empty for no broker
  bool tls = false;
  std::string user, prefix;
  bool discovery = false;  // Home Assistant finds the meter by itself
  std::string influx;      // the server's URL; empty for no InfluxDB
  std::string influx_db;   // version 1
  std::string influx_org;  // version 2, with the bucket
  std::string influx_bucket;
  friend bool operator==(const PublishSettings&, const PublishSettings&) = default;
};

// How the limits judge an excursion and how long a silence may last; 0 is none.
struct AlarmTimings {
  double hysteresis = 0;    // in the limits' unit
  double min_duration = 0;  // seconds
  double stale = 0;         // seconds without a reading
  friend bool operator==(const AlarmTimings&, const AlarmTimings&) = default;
};

// What an alarm does besides sounding: a desktop notice, a message to the
// broker while publishing, and the user's command (as typed: a program and
// its arguments, quoted as in a shell; empty for none).
struct AlarmActions {
  bool notices = true;
  bool to_broker = true;
  std::string command;
  friend bool operator==(const AlarmActions&, const AlarmActions&) = default;
};

struct UserSettings {
  std::optional<int> language;           // 1 to 5
  std::optional<std::int64_t> interval;  // seconds, 1 to 120
  std::optional<Limits> limits;          // for one function and unit
  AlarmTimings alarm;
  AlarmActions actions;
  bool muted = false;
  std::optional<WindowPlace> main_window;
  std::array<ToolWindowState, kToolWindows> tools{};
  std::string open_file, save_file;  // the last chosen, with their folders
  PublishSettings publishing;

  ToolWindowState& tool(ToolWindow w) { return tools[static_cast<std::size_t>(w)]; }
  const ToolWindowState& tool(ToolWindow w) const { return tools[static_cast<std::size_t>(w)]; }
};

// The settings file's keys ("group/name") with their values as texts.
using SettingsValues = std::map<std::string, std::string>;

// The format this program writes; a file of a later format is left alone.
inline constexpr int kSettingsFormat = 1;

struct SettingsRead {
  UserSettings settings;
  std::string ignored;  // why the whole file was set aside; empty when it was used
  bool newer = false;   // it comes from a later version: never written over
};

// Every value is checked alone: one out of range is dropped, the others are
// kept. A file without a readable format key is junk and dropped whole.
SettingsRead read_user_settings(const SettingsValues& values);
SettingsValues settings_values(const UserSettings& settings);

}  // namespace tarvo
