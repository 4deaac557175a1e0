#include "publish/publish_settings.h"

#include <algorithm>

namespace tarvo {
namespace {

// An IPv6 address typed as it is ("fd00::5") goes in brackets in an address.
std::string bracketed(const std::string& broker) {
  if (std::count(broker.begin(), broker.end(), ':') > 1 && !broker.starts_with('[')) {
    return "[" + broker + "]";
  }
  return broker;
}

std::optional<PublishTarget> parsed(const PublishSettings& s, const std::string& prefix) {
  if (s.broker.find_first_of("/@") != std::string::npos) return std::nullopt;
  std::string url = s.tls ? "mqtts://" : "mqtt://";
  if (!s.user.empty()) url += percent_encoded(s.user) + "@";
  url += bracketed(s.broker) + "/" + prefix;
  std::string why;
  return parse_publish_url(url, why);
}

bool influx_url_usable(const std::string& url) {
  for (const std::string_view scheme : {"http://", "https://"}) {
    if (url.starts_with(scheme) && url.size() > scheme.size() && url[scheme.size()] != '/') {
      return url.find_first_of(" \t") == std::string::npos;
    }
  }
  return false;
}

PublishSettingsProblem influx_problem(const PublishSettings& s) {
  if (s.influx.empty()) return PublishSettingsProblem::None;
  if (!influx_url_usable(s.influx)) return PublishSettingsProblem::InfluxUrl;
  const bool v1 = !s.influx_db.empty();
  const bool v2 = !s.influx_org.empty() && !s.influx_bucket.empty();
  const bool half_v2 = s.influx_org.empty() != s.influx_bucket.empty();
  if (v1 == v2 || half_v2) return PublishSettingsProblem::InfluxWhere;
  return PublishSettingsProblem::None;
}

}  // namespace

PublishSettingsProblem publish_settings_problem(const PublishSettings& s) {
  if (!s.broker.empty()) {
    if (!parsed(s, "tarvo")) return PublishSettingsProblem::BrokerAddress;
    if (s.prefix.empty()) return PublishSettingsProblem::PrefixMissing;
    if (!parsed(s, s.prefix)) return PublishSettingsProblem::PrefixRefused;
  }
  return influx_problem(s);
}

std::optional<PublishTarget> publish_target_of(const PublishSettings& s,
                                               const std::optional<std::string>& password) {
  if (s.broker.empty() || publish_settings_problem(s) != PublishSettingsProblem::None) {
    return std::nullopt;
  }
  std::optional<PublishTarget> target = parsed(s, s.prefix);
  if (target && target->user && password && !password->empty()) target->password = *password;
  if (target) target->discovery = s.discovery;
  return target;
}

std::optional<InfluxTarget> influx_target_of(const PublishSettings& s,
                                             const std::optional<std::string>& token,
                                             std::string& why) {
  why.clear();
  if (s.influx.empty() || influx_problem(s) != PublishSettingsProblem::None) return std::nullopt;
  InfluxSettings settings;
  settings.url = s.influx;
  if (!s.influx_db.empty()) settings.database = s.influx_db;
  if (!s.influx_org.empty()) settings.org = s.influx_org;
  if (!s.influx_bucket.empty()) settings.bucket = s.influx_bucket;
  if (token && !token->empty()) settings.token_variable = *token;
  return influx_target(settings, why);
}

}  // namespace tarvo
