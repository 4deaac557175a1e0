#include "publish/broker_password.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

class PasswordFile : public ::testing::Test {
 protected:
  PasswordFile() {
    dir_ = fs::temp_directory_path() / ("tarvo-password-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  ~PasswordFile() override { fs::remove_all(dir_); }

  fs::path write(const std::string& bytes, mode_t mode) const {
    const fs::path file = dir_ / "password";
    fs::remove(file);
    std::ofstream(file, std::ios::binary) << bytes;
    ::chmod(file.c_str(), mode);
    return file;
  }

  fs::path dir_;
};

TEST_F(PasswordFile, OneLineEndIsNotPartOfIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"s3cret", "s3cret"},       {"s3cret\n", "s3cret"},         {"s3cret\r\n", "s3cret"},
      {"s3cret\n\n", "s3cret\n"}, {" s p a c e ", " s p a c e "},
  };
  for (const auto& [bytes, password] : cases) {
    std::string error;
    EXPECT_EQ(read_password_file(write(bytes, 0600), error), password) << error;
  }
}

TEST_F(PasswordFile, RefusesFilesOthersCouldReadAndSaysWhyWithoutTheContent) {
  const std::pair<mode_t, std::string> modes[] = {
      {0640, "other users"}, {0604, "other users"}, {0620, "other users"}, {0666, "other users"}};
  for (const auto& [mode, reason] : modes) {
    std::string error;
    EXPECT_FALSE(read_password_file(write("s3cret", mode), error));
    EXPECT_NE(error.find(reason), std::string::npos) << error;
    EXPECT_EQ(error.find("s3cret"), std::string::npos) << error;
  }
  std::string error;
  EXPECT_FALSE(read_password_file(write("", 0600), error));
  EXPECT_NE(error.find("is empty"), std::string::npos) << error;
  EXPECT_FALSE(read_password_file(write(std::string(70000, 'x'), 0600), error));
  EXPECT_NE(error.find("too long"), std::string::npos) << error;
  EXPECT_FALSE(read_password_file(dir_, error));
  EXPECT_FALSE(read_password_file(dir_ / "missing", error));
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(read_password_file(dir_ / "fifo", error));  // and does not hang
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

struct SourceCase {
  const char* name;
  const char* url;
  bool file;
  std::optional<std::string> environment;
  std::optional<std::string> password;  // nullopt: refused when ok is false
  bool ok;
};

const SourceCase kSources[] = {
    {"FileForAUser", "mqtt://ann@h/x", true, "env", "from-file", true},
    {"EnvironmentForAUser", "mqtt://ann@h/x", false, "env", "env", true},
    {"AddressBeforeEnvironment", "mqtt://ann:url@h/x", false, "env", "url", true},
    {"EnvironmentWithoutUserIgnored", "mqtt://h/x", false, "env", std::nullopt, true},
    {"NothingAtAll", "mqtt://ann@h/x", false, std::nullopt, std::nullopt, true},
    {"FileAndAddressBoth", "mqtt://ann:url@h/x", true, std::nullopt, std::nullopt, false},
    {"FileWithoutUser", "mqtt://h/x", true, std::nullopt, std::nullopt, false},
};

class PasswordSource : public PasswordFile, public ::testing::WithParamInterface<SourceCase> {};

TEST_P(PasswordSource, ComesFromOnePlace) {
  const SourceCase& c = GetParam();
  std::string error;
  PublishTarget target = *parse_publish_url(c.url, error);
  PasswordSources sources{std::nullopt, c.environment};
  if (c.file) sources.file = write("from-file\n", 0600);
  EXPECT_EQ(take_password(target, sources, error), c.ok) << error;
  if (c.ok) {
    EXPECT_EQ(target.password, c.password);
  }
}

INSTANTIATE_TEST_SUITE_P(Publish, PasswordSource, ::testing::ValuesIn(kSources),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PasswordWarnings, SayWhereThePasswordIsExposedAndNeverShowIt) {
  struct Case {
    const char* url;
    bool from_environment;
    std::vector<std::string> starts;
  };
  const Case cases[] = {
      {"mqtt://ann@192.0.2.7/x", true, {"the password goes unencrypted to 192.0.2.7"}},
      {"mqtts://ann@192.0.2.7/x", true, {}},
      {"mqtt://ann@localhost/x", true, {}},
      {"mqtt://ann@127.0.0.9/x", true, {}},
      {"mqtt://ann@[::1]/x", true, {}},
      {"mqtt://ann@127.example.org/x", true, {"the password goes unencrypted"}},
      {"mqtt://ann@h/x", false, {}},  // no password at all
      {"mqtts://ann:pw1234@h/x", false, {"the password in the broker address"}},
      {"mqtt://ann:pw1234@h/x",
       false,
       {"the password in the broker address", "the password goes unencrypted to h"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    std::string error;
    PublishTarget target = *parse_publish_url(c.url, error);
    if (c.from_environment) take_password(target, {std::nullopt, "pw1234"}, error);
    const std::vector<std::string> warnings = password_warnings(target);
    ASSERT_EQ(warnings.size(), c.starts.size());
    for (std::size_t i = 0; i < warnings.size(); ++i) {
      EXPECT_TRUE(warnings[i].starts_with(c.starts[i])) << warnings[i];
      EXPECT_EQ(warnings[i].find("pw1234"), std::string::npos);
    }
  }
}

TEST(MaskAddressPassword, OverwritesOnlyThePassword) {
  const std::pair<std::string, std::string> cases[] = {
      {"mqtt://ann:s3cret@h/x", "mqtt://ann:******@h/x"},
      {"--publish=mqtts://ann:p@ss@h:1/x@y", "--publish=mqtts://ann:****@h:1/x@y"},
      {"mqtt://ann:a%40b@[::1]:2/x", "mqtt://ann:*****@[::1]:2/x"},
      {"mqtt://ann@h/x", "mqtt://ann@h/x"},
      {"mqtt://h:1883/x", "mqtt://h:1883/x"},
      {"mqtt://ann:@h/x", "mqtt://ann:@h/x"},
      {"--port", "--port"},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
  };
  for (const auto& [argument, masked] : cases) {
    std::string text = argument;
    EXPECT_EQ(mask_address_password(text.data()), masked != argument) << argument;
    EXPECT_EQ(text, masked);
  }
}

}  // namespace
}  // namespace tarvo
