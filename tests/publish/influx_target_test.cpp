#include "publish/influx_target.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

InfluxSettings v1(const std::string& url, const std::string& db = "lab") {
  InfluxSettings s;
  s.url = url;
  s.database = db;
  return s;
}

InfluxSettings v2(const std::string& url, const std::string& org, const std::string& bucket) {
  InfluxSettings s;
  s.url = url;
  s.org = org;
  s.bucket = bucket;
  s.token_variable = "t0ken";
  return s;
}

TEST(InfluxTarget, WriteUrlsOfBothVersions) {
  struct Case {
    InfluxSettings settings;
    const char* write_url;
  };
  const Case cases[] = {
      {v1("http://127.0.0.1:8086"), "http://127.0.0.1:8086/write?db=lab&precision=ns"},
      {v1("http://db.lab/"), "http://db.lab/write?db=lab&precision=ns"},
      {v1("https://db.lab/influx//"), "https://db.lab/influx/write?db=lab&precision=ns"},
      {v1("http://[::1]:8086", "bench data&x=1"),
       "http://[::1]:8086/write?db=bench%20data%26x%3D1&precision=ns"},
      {v2("http://localhost:8086", "my org", "b/1"),
       "http://localhost:8086/api/v2/write?org=my%20org&bucket=b%2F1&precision=ns"},
  };
  for (const Case& c : cases) {
    std::string why;
    const auto t = influx_target(c.settings, why);
    ASSERT_TRUE(t.has_value()) << c.settings.url << ": " << why;
    EXPECT_EQ(t->write_url(), c.write_url);
  }
}

TEST(InfluxTarget, RefusesWhatCannotBeUsed) {
  InfluxSettings no_version;
  no_version.url = "http://h";
  InfluxSettings both = v2("http://h", "o", "b");
  both.database = "lab";
  InfluxSettings half = v2("http://h", "o", "b");
  half.bucket.reset();
  InfluxSettings no_token = v2("http://h", "o", "b");
  no_token.token_variable.reset();
  InfluxSettings empty_token = v2("http://h", "o", "b");
  empty_token.token_variable = "";
  InfluxSettings two_lines = v2("http://h", "o", "b");
  two_lines.token_variable = "s3cret\r\nX-Other: 1";
  const std::pair<InfluxSettings, const char*> cases[] = {
      {v1("127.0.0.1:8086"), "must start with http:// or https://"},
      {v1("mqtt://h"), "must start with http:// or https://"},
      {v1("http://"), "a host must follow http://"},
      {v1("http://:8086"), "a host must follow"},
      {v1("http://h:0"), "the port must be"},
      {v1("http://h:65536"), "the port must be"},
      {v1("http://h:80x"), "the port must be"},
      {v1("http://ann:s3cret@h"), "no user or password in the address"},
      {v1("http://h/?db=x"), "takes no query"},
      {v1("http://h", ""), "--influx-db needs a database name"},
      {no_version, "needs --influx-db NAME (1.x) or"},
      {both, "exclude each other"},
      {half, "needs both --influx-org and --influx-bucket"},
      {no_token, "needs a token"},
      {empty_token, "needs a token"},
      {two_lines, "holds a control character"},
  };
  for (const auto& [settings, reason] : cases) {
    std::string why;
    EXPECT_FALSE(influx_target(settings, why).has_value()) << settings.url;
    EXPECT_NE(why.find(reason), std::string::npos) << settings.url << ": " << why;
    EXPECT_EQ(why.find("s3cret"), std::string::npos);
  }
}

class TokenFile : public ::testing::Test {
 protected:
  TokenFile() {
    dir_ = fs::temp_directory_path() / ("tarvo-token-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  ~TokenFile() override { fs::remove_all(dir_); }
  fs::path write(const std::string& bytes, mode_t mode) const {
    const fs::path file = dir_ / "token";
    fs::remove(file);
    std::ofstream(file, std::ios::binary) << bytes;
    ::chmod(file.c_str(), mode);
    return file;
  }
  fs::path dir_;
};

// The file wins over the variable, must be private, and its one line end is
// not part of the token; the token is never in a message.
TEST_F(TokenFile, TheFileWinsAndMustBePrivate) {
  InfluxSettings s = v2("http://127.0.0.1:8086", "o", "b");
  s.token_file = write("from-file\n", 0600);
  std::string why;
  auto t = influx_target(s, why);
  ASSERT_TRUE(t.has_value()) << why;
  EXPECT_EQ(t->token, "from-file");
  EXPECT_TRUE(influx_warnings(*t).empty());  // loopback: it never leaves the computer

  s.token_file = write("from-file\n", 0644);
  EXPECT_FALSE(influx_target(s, why).has_value());
  EXPECT_NE(why.find("chmod 600"), std::string::npos) << why;
  EXPECT_EQ(why.find("from-file"), std::string::npos);

  s.token_file = write("line one\nline two\n", 0600);
  EXPECT_FALSE(influx_target(s, why).has_value());
  EXPECT_NE(why.find("control character"), std::string::npos) << why;

  s.token_file = dir_ / "missing";
  EXPECT_FALSE(influx_target(s, why).has_value());
  EXPECT_EQ(why.rfind("--influx-token-file: ", 0), 0u) << why;
}

TEST(InfluxTarget, AToken1xIsOptionalAndOverPlainHttpToAnotherHostWarned) {
  std::string why;
  auto t = influx_target(v1("http://127.0.0.1:8086"), why);
  ASSERT_TRUE(t.has_value());
  EXPECT_FALSE(t->token.has_value());
  t = influx_target(v2("http://db.lab:8086", "o", "b"), why);
  ASSERT_TRUE(t.has_value());
  ASSERT_EQ(influx_warnings(*t).size(), 1u);
  EXPECT_EQ(influx_warnings(*t)[0].find("t0ken"), std::string::npos);
  t = influx_target(v2("https://db.lab:8086", "o", "b"), why);
  ASSERT_TRUE(t.has_value());
  EXPECT_TRUE(influx_warnings(*t).empty());
}

}  // namespace
}  // namespace tarvo
