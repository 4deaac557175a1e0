#pragma once

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
  std::string prefix;  // "lab/bench1": readings go to prefix + "/reading"

  std::string reading_topic() const { return prefix + "/reading"; }
  std::string status_topic() const { return prefix + "/status"; }
  // "127.0.0.1:1883", brackets around an IPv6 address.
  std::string endpoint() const;
};

// The target a URL names, or nullopt with the reason in error. User and
// password may be percent-encoded (%40 for "@").
std::optional<PublishTarget> parse_publish_url(std::string_view url, std::string& error);

}  // namespace tarvo
