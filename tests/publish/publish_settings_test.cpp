#include "publish/publish_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

using Problem = PublishSettingsProblem;

PublishSettings broker(std::string address, std::string prefix = "lab/bench1") {
  PublishSettings s;
  s.broker = std::move(address);
  s.prefix = std::move(prefix);
  return s;
}

PublishSettings influx(std::string url, std::string db, std::string org, std::string bucket) {
  PublishSettings s;
  s.influx = std::move(url);
  s.influx_db = std::move(db);
  s.influx_org = std::move(org);
  s.influx_bucket = std::move(bucket);
  return s;
}

TEST(PublishSettings, ProblemsAreFoundBeforeStart) {
  const std::vector<std::pair<PublishSettings, Problem>> cases = {
      {PublishSettings{}, Problem::None},
      {broker("broker.lab"), Problem::None},
      {broker("broker.lab:1884"), Problem::None},
      {broker("fd00::5"), Problem::None},
      {broker("[fd00::5]:1884"), Problem::None},
      {broker("broker.lab:0"), Problem::BrokerAddress},
      {broker("broker.lab:x"), Problem::BrokerAddress},
      {broker("mqtt://broker.lab"), Problem::BrokerAddress},
      {broker("ann@broker.lab"), Problem::BrokerAddress},
      {broker("broker lab"), Problem::BrokerAddress},
      {broker("broker.lab", ""), Problem::PrefixMissing},
      {broker("broker.lab", "lab/#"), Problem::PrefixRefused},
      {broker("broker.lab", "lab/+/x"), Problem::PrefixRefused},
      {broker("broker.lab", "$SYS"), Problem::PrefixRefused},
      {broker("", "lab"), Problem::None},  // the prefix waits for a broker
      {influx("http://influx.lab:8086", "lab", "", ""), Problem::None},
      {influx("https://influx.lab", "", "lab", "bench"), Problem::None},
      {influx("influx.lab:8086", "lab", "", ""), Problem::InfluxUrl},
      {influx("http://", "lab", "", ""), Problem::InfluxUrl},
      {influx("http://influx lab", "lab", "", ""), Problem::InfluxUrl},
      {influx("http://influx.lab", "", "", ""), Problem::InfluxWhere},
      {influx("http://influx.lab", "", "lab", ""), Problem::InfluxWhere},
      {influx("http://influx.lab", "lab", "lab", "bench"), Problem::InfluxWhere},
      {influx("http://influx.lab", "db", "lab", ""), Problem::InfluxWhere},
  };
  for (const auto& [settings, problem] : cases) {
    EXPECT_EQ(publish_settings_problem(settings), problem)
        << settings.broker << " " << settings.prefix << " " << settings.influx;
  }
}

TEST(PublishSettings, TargetCarriesTheKeychainsPassword) {
  PublishSettings s = broker("broker.lab:8883");
  s.tls = true;
  s.user = "ann@lab:1";
  const std::optional<PublishTarget> t = publish_target_of(s, "pa:ss@word");
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->tls);
  EXPECT_EQ(t->host, "broker.lab");
  EXPECT_EQ(t->port, 8883);
  EXPECT_EQ(t->user, "ann@lab:1");
  EXPECT_EQ(t->password, "pa:ss@word");
  EXPECT_FALSE(t->password_in_address);
  EXPECT_EQ(t->prefix, "lab/bench1");

  EXPECT_EQ(publish_target_of(broker("fd00::5"), std::nullopt)->host, "fd00::5");
  EXPECT_FALSE(publish_target_of(broker("fd00::5"), "pw")->password);  // no user, no password
  EXPECT_FALSE(publish_target_of(PublishSettings{}, "pw"));
  EXPECT_FALSE(publish_target_of(broker("broker.lab", "$SYS"), "pw"));
}

TEST(PublishSettings, DiscoveryGoesWithTheBroker) {
  PublishSettings s = broker("broker.lab");
  EXPECT_FALSE(publish_target_of(s, std::nullopt)->discovery);
  s.discovery = true;
  EXPECT_TRUE(publish_target_of(s, std::nullopt)->discovery);
}

TEST(PublishSettings, InfluxTargetOfTheSettingsWithTheKeychainsToken) {
  struct Case {
    PublishSettings settings;
    std::optional<std::string> token;
    bool made;
    std::string write_url;
  };
  const Case cases[] = {
      {PublishSettings{}, "t", false, ""},
      {influx("http://127.0.0.1:8086", "bench", "", ""), std::nullopt, true,
       "http://127.0.0.1:8086/write?db=bench&precision=ns"},
      {influx("https://db.lab", "", "lab one", "b"), "secret", true,
       "https://db.lab/api/v2/write?org=lab%20one&bucket=b&precision=ns"},
      // 2.x wants a token: without one the settings name no usable server.
      {influx("https://db.lab", "", "lab", "b"), std::nullopt, false, ""},
      {influx("ftp://db.lab", "bench", "", ""), "t", false, ""},
  };
  for (const Case& c : cases) {
    std::string why;
    const std::optional<InfluxTarget> t = influx_target_of(c.settings, c.token, why);
    ASSERT_EQ(t.has_value(), c.made) << c.settings.influx << " " << why;
    if (!t) continue;
    EXPECT_EQ(t->write_url(), c.write_url);
    EXPECT_EQ(t->token, c.token);
  }
}

TEST(PublishSettings, PercentEncodingLeavesOnlyTheUnreserved) {
  EXPECT_EQ(percent_encoded("aZ09-._~"), "aZ09-._~");
  EXPECT_EQ(percent_encoded("a@b:c/d e%"), "a%40b%3Ac%2Fd%20e%25");
  EXPECT_EQ(percent_encoded("\xC3\xA9"), "%C3%A9");
}

}  // namespace
}  // namespace tarvo
