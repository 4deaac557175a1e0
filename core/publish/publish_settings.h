#pragma once

#include <optional>
#include <string>

#include "files/user_settings.h"
#include "publish/influx_target.h"
#include "publish/publish_target.h"

namespace tarvo {

// What keeps the window's publishing settings from being used at Start, the
// first found; the dialog says it in the current language.
enum class PublishSettingsProblem {
  None,
  BrokerAddress,  // not "host" or "host:port"
  PrefixMissing,  // a broker without a topic prefix
  PrefixRefused,  // "+", "#", "$" first, control characters ...
  InfluxUrl,      // not http:// or https:// with a host
  InfluxWhere,    // neither a database nor an organisation with a bucket, or both
};

PublishSettingsProblem publish_settings_problem(const PublishSettings& s);

// The broker the settings name, with its password; nullopt without a broker
// or with a problem.
std::optional<PublishTarget> publish_target_of(const PublishSettings& s,
                                               const std::optional<std::string>& password);

// The InfluxDB server the settings name, with its token; nullopt without a
// server or with a problem (why says it, never a word of the token).
std::optional<InfluxTarget> influx_target_of(const PublishSettings& s,
                                             const std::optional<std::string>& token,
                                             std::string& why);

}  // namespace tarvo
