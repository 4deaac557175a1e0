#include "publish/influx_target.h"

#include <algorithm>
#include <cstdio>

#include "publish/broker_password.h"
#include "publish/publish_target.h"

namespace tarvo {
namespace {

bool good_port(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return false;
  int port = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
    port = port * 10 + (c - '0');
  }
  return port >= 1 && port <= 65535;
}

// http[s]://host[:port][/path]: no user, no query, no fragment.
bool read_url(std::string_view url, InfluxTarget& t, std::string& error) {
  std::string_view rest;
  if (url.starts_with("http://")) {
    rest = url.substr(7);
  } else if (url.starts_with("https://")) {
    rest = url.substr(8);
    t.tls = true;
  } else {
    error = "the address must start with http:// or https://";
    return false;
  }
  if (rest.find_first_of("?#") != std::string_view::npos) {
    error = "the address takes no query (the database or bucket have options of their own)";
    return false;
  }
  const std::size_t slash = rest.find('/');
  const std::string_view authority = rest.substr(0, slash);
  if (authority.find('@') != std::string_view::npos) {
    error = "no user or password in the address: the token comes from a file or " +
            std::string(kInfluxTokenVariable);
    return false;
  }
  std::string_view host = authority;
  std::string_view port;
  if (host.starts_with('[')) {
    const std::size_t close = host.find(']');
    if (close == std::string_view::npos) host = {};
    port = close == std::string_view::npos ? "" : authority.substr(close + 1);
    if (!host.empty()) host = host.substr(1, close - 1);
  } else {
    port = host.substr(std::min(host.find(':'), host.size()));
    host = host.substr(0, host.find(':'));
  }
  if (host.empty()) {
    error = "a host must follow " + std::string(t.tls ? "https://" : "http://");
    return false;
  }
  if (!port.empty() && !good_port(port.substr(1))) {
    error = "the port must be a number from 1 to 65535";
    return false;
  }
  t.host = std::string(host);
  std::string_view path = slash == std::string_view::npos ? "" : rest.substr(slash);
  while (path.ends_with('/')) path.remove_suffix(1);
  t.base = std::string(url.substr(0, url.size() - rest.size())) + std::string(authority) +
           std::string(path);
  return true;
}

bool read_token(InfluxTarget& t, const InfluxSettings& s, std::string& error) {
  if (s.token_file) {
    std::string why;
    t.token = read_password_file(*s.token_file, why);
    if (!t.token) {
      error = "--influx-token-file: " + why;
      return false;
    }
  } else if (s.token_variable && !s.token_variable->empty()) {
    t.token = *s.token_variable;
  }
  if (t.token && t.token->empty()) {
    error = "the InfluxDB token is empty";
    return false;
  }
  // It goes into a header line: a line end in it would start a header of its own.
  const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; };
  if (t.token && std::any_of(t.token->begin(), t.token->end(), control)) {
    error = "the InfluxDB token holds a control character (a line end inside it?)";
    return false;
  }
  return true;
}

}  // namespace

std::string InfluxTarget::write_url() const {
  if (version2()) {
    return base + "/api/v2/write?org=" + percent_encoded(org) +
           "&bucket=" + percent_encoded(bucket) + "&precision=ns";
  }
  return base + "/write?db=" + percent_encoded(database) + "&precision=ns";
}

std::optional<InfluxTarget> influx_target(const InfluxSettings& s, std::string& error) {
  InfluxTarget t;
  if (!read_url(s.url, t, error)) return std::nullopt;
  const bool v1 = s.database.has_value();
  const bool v2 = s.org.has_value() || s.bucket.has_value();
  if (v1 == v2) {
    error = v1 ? "--influx-db (1.x) and --influx-org/--influx-bucket (2.x) exclude each other"
               : "--influx needs --influx-db NAME (1.x) or --influx-org and --influx-bucket (2.x)";
    return std::nullopt;
  }
  if (v1 && s.database->empty()) {
    error = "--influx-db needs a database name";
    return std::nullopt;
  }
  if (v2 && (!s.org || s.org->empty() || !s.bucket || s.bucket->empty())) {
    error = "InfluxDB 2.x needs both --influx-org and --influx-bucket";
    return std::nullopt;
  }
  if (!read_token(t, s, error)) return std::nullopt;
  if (v2 && !t.token) {
    error = "InfluxDB 2.x needs a token: --influx-token-file FILE or " +
            std::string(kInfluxTokenVariable);
    return std::nullopt;
  }
  t.database = s.database.value_or("");
  t.org = s.org.value_or("");
  t.bucket = s.bucket.value_or("");
  return t;
}

std::vector<std::string> influx_warnings(const InfluxTarget& t) {
  if (!t.token || t.tls || is_loopback_host(t.host)) return {};
  return {"the InfluxDB token travels unencrypted to " + t.host +
          " (use https:// to keep it private)"};
}

}  // namespace tarvo
