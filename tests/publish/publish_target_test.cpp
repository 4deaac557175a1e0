#include "publish/publish_target.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

struct GoodUrl {
  const char* url;
  bool tls;
  const char* host;
  int port;
  std::optional<std::string> user, password;
  const char* prefix;
};

TEST(PublishUrl, ReadsEveryPartOfTheAddress) {
  const GoodUrl cases[] = {
      {"mqtt://broker/lab/bench1", false, "broker", 1883, {}, {}, "lab/bench1"},
      {"mqtts://broker.example.org/lab", true, "broker.example.org", 8883, {}, {}, "lab"},
      {"mqtt://127.0.0.1:1884/a/b/", false, "127.0.0.1", 1884, {}, {}, "a/b"},
      {"mqtt://[::1]:2000/x", false, "::1", 2000, {}, {}, "x"},
      {"mqtt://ann@h/x", false, "h", 1883, "ann", {}, "x"},
      {"mqtt://ann:s%40cret:x@h:1/x", false, "h", 1, "ann", "s@cret:x", "x"},
      {"mqtt://ann:@h/x", false, "h", 1883, "ann", "", "x"},
  };
  for (const GoodUrl& c : cases) {
    SCOPED_TRACE(c.url);
    std::string error;
    const auto t = parse_publish_url(c.url, error);
    ASSERT_TRUE(t.has_value()) << error;
    EXPECT_EQ(t->tls, c.tls);
    EXPECT_EQ(t->host, c.host);
    EXPECT_EQ(t->port, c.port);
    EXPECT_EQ(t->user, c.user);
    EXPECT_EQ(t->password, c.password);
    EXPECT_EQ(t->prefix, c.prefix);
  }
  std::string error;
  EXPECT_EQ(parse_publish_url("mqtt://[::1]/x", error)->endpoint(), "[::1]:1883");
  EXPECT_EQ(parse_publish_url("mqtt://h/lab/b1", error)->reading_topic(), "lab/b1/reading");
}

TEST(PublishUrl, RefusesWhatCannotBeUsedAndSaysWhy) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://broker/lab", "mqtt://"},
      {"broker/lab", "mqtt://"},
      {"mqtt://broker", "topic prefix"},
      {"mqtt://broker/", "topic prefix"},
      {"mqtt:///lab", "no broker host"},
      {"mqtt://broker:0/lab", "port"},
      {"mqtt://broker:65536/lab", "port"},
      {"mqtt://broker:x/lab", "port"},
      {"mqtt://broker:/lab", "port"},
      {"mqtt://broker/lab/+", "\"+\" or \"#\""},
      {"mqtt://broker/lab#1", "\"+\" or \"#\""},
      {"mqtt://broker/lab?x=1", "\"?\""},
      {"mqtt://::1/lab", "brackets"},
      {"mqtt://[::1/lab", "\"]\""},
      {"mqtt://@broker/lab", "user name"},
      {"mqtt://ann:%4@broker/lab", "percent"},
  };
  for (const auto& [url, reason] : cases) {
    SCOPED_TRACE(url);
    std::string error;
    EXPECT_FALSE(parse_publish_url(url, error).has_value());
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

// A topic the broker would refuse ends the connection, and a publisher that
// retries for ever never gets a reading out: refused before anything starts.
TEST(PublishUrl, RefusesTopicPrefixesNoBrokerTakes) {
  const std::string longest(kLongestTopicPrefix, 'a');
  std::string error;
  EXPECT_TRUE(parse_publish_url("mqtt://h/" + longest, error)) << error;
  EXPECT_TRUE(parse_publish_url("mqtt://h/labor/\xC3\xA9t\xC3\xA9", error)) << error;
  const std::pair<std::string, const char*> cases[] = {
      {"mqtt://h/" + longest + "b", "longer than 65527 bytes"},
      {"mqtt://h/lab/\xC3", "not UTF-8"},
      {"mqtt://h/lab/\xFF\xFE", "not UTF-8"},
      {"mqtt://h/lab/\xC0\xAF", "not UTF-8"},  // an overlong "/"
      {"mqtt://h/lab\x01", "control characters"},
      {"mqtt://h/lab\tb", "control characters"},
      {"mqtt://h/lab\x7F", "control characters"},
      {"mqtt://h/lab\xC2\x85", "control characters"},  // U+0085, next line
      {"mqtt://h/$SYS/lab", "\"$\""},
      {"mqtt://h/$lab", "\"$\""},
  };
  for (const auto& [url, reason] : cases) {
    SCOPED_TRACE(url.substr(0, 40));
    EXPECT_FALSE(parse_publish_url(url, error).has_value());
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace tarvo
