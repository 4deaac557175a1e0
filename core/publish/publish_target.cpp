#include "publish/publish_target.h"

#include "files/text_encoding.h"

namespace tarvo {
namespace {

constexpr int kMqttPort = 1883;
constexpr int kMqttsPort = 8883;

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> percent_decoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    const int high = i + 1 < text.size() ? hex_digit(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? hex_digit(text[i + 2]) : -1;
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::optional<int> port_number(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int port = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

bool read_user(std::string_view userinfo, PublishTarget& t, std::string& error) {
  const std::size_t colon = userinfo.find(':');
  const auto user = percent_decoded(userinfo.substr(0, colon));
  if (!user || user->empty()) {
    error = "the user name before \"@\" is empty or badly percent-encoded";
    return false;
  }
  t.user = *user;
  if (colon == std::string_view::npos) return true;
  const auto password = percent_decoded(userinfo.substr(colon + 1));
  if (!password) {
    error = "the password is badly percent-encoded";
    return false;
  }
  t.password = *password;
  t.password_in_address = true;
  return true;
}

bool read_host_port(std::string_view authority, PublishTarget& t, std::string& error) {
  std::optional<std::string_view> port_text;
  if (authority.starts_with('[')) {
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) {
      error = "an IPv6 address needs its closing \"]\"";
      return false;
    }
    t.host = authority.substr(1, close - 1);
    const std::string_view after = authority.substr(close + 1);
    if (!after.empty() && !after.starts_with(':')) {
      error = "only \":port\" may follow the address";
      return false;
    }
    if (!after.empty()) port_text = after.substr(1);
  } else {
    const std::size_t colon = authority.rfind(':');
    t.host = authority.substr(0, colon);
    if (colon != std::string_view::npos) port_text = authority.substr(colon + 1);
    if (t.host.find(':') != std::string::npos) {
      error = "an IPv6 address goes in brackets, as in mqtt://[::1]/lab";
      return false;
    }
  }
  if (t.host.empty()) {
    error = "no broker host";
    return false;
  }
  if (t.host.find_first_of(" /?#@[]") != std::string::npos) {
    error = "\"" + t.host + "\" is not a host name or address";
    return false;
  }
  if (!port_text) return true;
  const std::optional<int> port = port_number(*port_text);
  if (!port) {
    error = "the port must be a number from 1 to 65535";
    return false;
  }
  t.port = *port;
  return true;
}

// Control characters U+0001-U+001F and U+007F-U+009F; the C1 ones are two
// bytes in UTF-8, 0xC2 0x80-0x9F.
bool holds_control_character(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 || byte == 0x7F) return true;
    if (byte == 0xC2 && i + 1 < text.size()) {
      const auto next = static_cast<unsigned char>(text[i + 1]);
      if (next >= 0x80 && next <= 0x9F) return true;
    }
  }
  return false;
}

bool read_prefix(std::string_view path, PublishTarget& t, std::string& error) {
  while (path.ends_with('/')) path.remove_suffix(1);
  if (path.empty()) {
    error = "a topic prefix must follow the host, as in mqtt://broker/lab/bench1";
    return false;
  }
  if (path.find_first_of("+#") != std::string_view::npos) {
    error = "the topic prefix must not hold \"+\" or \"#\"";
    return false;
  }
  if (path.find('?') != std::string_view::npos || path.find('\0') != std::string_view::npos) {
    error = "the topic prefix must not hold \"?\" or a null character";
    return false;
  }
  if (const std::optional<std::string> why = topic_prefix_problem(path)) {
    error = *why;
    return false;
  }
  t.prefix = path;
  return true;
}

}  // namespace

// A broker closes the connection at a topic it cannot take, and the
// publisher would then try again for ever; these are known at the start.
std::optional<std::string> topic_prefix_problem(std::string_view prefix) {
  if (prefix.size() > kLongestTopicPrefix) {
    return "the topic prefix is longer than " + std::to_string(kLongestTopicPrefix) +
           " bytes (a topic holds at most 65535)";
  }
  if (!is_valid_utf8(prefix)) return std::string("the topic prefix is not UTF-8 text");
  if (holds_control_character(prefix)) {
    return std::string("the topic prefix must not hold control characters");
  }
  if (prefix.starts_with('$')) {
    return std::string("the topic prefix must not begin with \"$\" (the broker's own topics)");
  }
  return std::nullopt;
}

std::string PublishTarget::endpoint() const {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::optional<PublishTarget> parse_publish_url(std::string_view url, std::string& error) {
  PublishTarget t;
  if (url.starts_with("mqtt://")) {
    url.remove_prefix(7);
    t.port = kMqttPort;
  } else if (url.starts_with("mqtts://")) {
    url.remove_prefix(8);
    t.tls = true;
    t.port = kMqttsPort;
  } else {
    error = "the address must begin with mqtt:// or mqtts://";
    return std::nullopt;
  }
  const std::size_t slash = url.find('/');
  if (slash == std::string_view::npos) {
    error = "a topic prefix must follow the host, as in mqtt://broker/lab/bench1";
    return std::nullopt;
  }
  std::string_view authority = url.substr(0, slash);
  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    if (!read_user(authority.substr(0, at), t, error)) return std::nullopt;
    authority.remove_prefix(at + 1);
  }
  if (!read_host_port(authority, t, error) || !read_prefix(url.substr(slash + 1), t, error)) {
    return std::nullopt;
  }
  return t;
}

std::string percent_encoded(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += c;
    } else {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }
  return out;
}

}  // namespace tarvo
