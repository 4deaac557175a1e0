#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Where readings are written as InfluxDB line protocol: a 1.x server's
// database, or a 2.x server's organization and bucket with a token.
struct InfluxTarget {
  std::string base;  // "http://127.0.0.1:8086", a path of a proxy kept, no "/" at the end
  std::string host;  // as written in the URL, brackets of an IPv6 address removed
  bool tls = false;
  std::string database;     // 1.x
  std::string org, bucket;  // 2.x
  std::optional<std::string> token;
  // The meter's letter in a run of several meters, a tag of each line: the
  // meters of one run are told apart whatever ports they were found on.
  std::string key;

  bool version2() const { return !bucket.empty(); }
  // The write endpoint with its query: /write?db=... or /api/v2/write?org=...&bucket=...,
  // names percent-encoded, timestamps in nanoseconds.
  std::string write_url() const;

  friend bool operator==(const InfluxTarget&, const InfluxTarget&) = default;
};

// The token kept off the command line, as the broker's password is.
inline constexpr const char* kInfluxTokenVariable = "TARVO_INFLUX_TOKEN";

// What the command line says about InfluxDB.
struct InfluxSettings {
  std::string url;
  std::optional<std::string> database, org, bucket;
  std::optional<std::filesystem::path> token_file;
  std::optional<std::string> token_variable;  // the variable's value, when it is set
};

// The target, or nullopt with the reason in error (never a word of the
// token). 1.x takes a database; 2.x an organization, a bucket and a token
// from the file, else from the variable. A token goes to 1.x too when given.
std::optional<InfluxTarget> influx_target(const InfluxSettings& settings, std::string& error);

// That the token travels unencrypted to another computer over http://.
std::vector<std::string> influx_warnings(const InfluxTarget& target);

}  // namespace tarvo
