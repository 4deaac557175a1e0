#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Where readings are published: mqtt://[user[:password]@]host[:port]/topic/prefix,
// or mqtts:// for TLS checked against the system's certificate store.
struct PublishTarget {
  bool tls = false;
  std::string host;  // a name, an IPv4 address or an IPv6 address without brackets
  int port = 1883;
  std::optional<std::string> user;
  std::optional<std::string> password;
  bool password_in_address = false;  // it stood on the command line for all to see
  std::string prefix;                // "lab/bench1": readings go to prefix + "/reading"
  bool discovery = false;            // announce the readings to Home Assistant

  std::string reading_topic() const { return prefix + "/reading"; }
  std::string status_topic() const { return prefix + "/status"; }
  // "127.0.0.1:1883", brackets around an IPv6 address.
  std::string endpoint() const;

  friend bool operator==(const PublishTarget&, const PublishTarget&) = default;
};

// The longest prefix whose topics ("/reading", "/status" added) still fit
// the 65535 bytes of an MQTT topic.
inline constexpr std::size_t kLongestTopicPrefix = 65535 - 8;

// Why a broker could never take topics under this prefix: too long, not
// UTF-8, a control character, or "$" first; nullopt when it is fine.
std::optional<std::string> topic_prefix_problem(std::string_view prefix);

// The text with every byte but letters, digits and "-._~" as %XX, as a user
// name or password stands in an address.
std::string percent_encoded(std::string_view text);

// The target a URL names, or nullopt with the reason in error. User and
// password may be percent-encoded (%40 for "@").
std::optional<PublishTarget> parse_publish_url(std::string_view url, std::string& error);

}  // namespace tarvo
