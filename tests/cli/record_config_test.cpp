#include "record_config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "record_options.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;

class RecordConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tarvo-record-config-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::ofstream(dir_ / "password") << "s3cret\n";
    fs::permissions(dir_ / "password", fs::perms::owner_read);
    ::unsetenv("TARVO_MQTT_PASSWORD");
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& text) {
    std::ofstream(dir_ / "record.conf") << text;
    return (dir_ / "record.conf").string();
  }
  RecordOptions read(const std::string& text, std::vector<std::string> args = {}) {
    args.insert(args.begin(), {"--config", write(text)});
    return read_record_options(args);
  }
  // The complaint, or "" when the options were taken.
  std::string refusal(const std::string& text, std::vector<std::string> args = {}) {
    try {
      read(text, std::move(args));
    } catch (const UsageError& e) {
      return e.what();
    }
    return "";
  }

  fs::path dir_;
};

TEST_F(RecordConfig, EveryKeyReachesItsOption) {
  fs::create_directories(dir_ / "logs");
  const RecordOptions o = read(
      "# the bench logger\n"
      "port = /dev/ttyUSB0\n"
      "port = /dev/ttyUSB1\n"
      "meters = 2\n"
      "interval = 10\n"
      "count = 500\n"
      "out = logs/bench.txt\n"
      "language = 3\n"
      "decimal-separator = ,\n"
      "reconnect-timeout = 0\n"
      "high = 5.5\n"
      "low = -1\n"
      "trace = yes\n"
      "broker = mqtts://broker.lab:8883\n"
      "user = ann@lab\n"
      "prefix = lab/bench 1\n"
      "password-file = password\n");
  EXPECT_EQ(o.ports, (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1"}));
  EXPECT_EQ(o.meters, 2);
  EXPECT_EQ(o.interval, 10);
  EXPECT_EQ(o.count, 500);
  EXPECT_EQ(o.out, dir_ / "logs/bench.txt");
  EXPECT_EQ(o.language, 3);
  EXPECT_EQ(o.separator, ",");
  EXPECT_EQ(o.reconnect_timeout, 0);
  EXPECT_EQ(o.high, 5.5);
  EXPECT_EQ(o.low, -1);
  EXPECT_TRUE(o.trace);
  ASSERT_TRUE(o.publish);
  EXPECT_TRUE(o.publish->tls);
  EXPECT_EQ(o.publish->host, "broker.lab");
  EXPECT_EQ(o.publish->port, 8883);
  EXPECT_EQ(o.publish->user, "ann@lab");
  EXPECT_EQ(o.publish->prefix, "lab/bench 1");
  EXPECT_EQ(o.publish->password, "s3cret");
  EXPECT_FALSE(o.publish->password_in_address);
}

TEST_F(RecordConfig, CommandLineReplacesTheFilesValues) {
  const std::string file =
      "port = /dev/a\nport = /dev/b\ninterval = 10\ncount = 5\n"
      "broker = mqtt://127.0.0.1/lab\ntrace = no\n";
  const RecordOptions o = read(file, {"--port", "/dev/c", "--interval=20", "--duration", "60",
                                      "--publish", "mqtt://127.0.0.2/other", "--trace"});
  EXPECT_EQ(o.ports, (std::vector<std::string>{"/dev/c"}));
  EXPECT_EQ(o.interval, 20);
  EXPECT_FALSE(o.count);
  EXPECT_EQ(o.duration, 60);
  EXPECT_EQ(o.publish->host, "127.0.0.2");
  EXPECT_TRUE(o.trace);

  const RecordOptions kept = read(file);
  EXPECT_EQ(kept.ports, (std::vector<std::string>{"/dev/a", "/dev/b"}));
  EXPECT_EQ(kept.count, 5);
  EXPECT_FALSE(kept.trace);
}

TEST_F(RecordConfig, PathsAreTakenFromTheFilesFolderOrHome) {
  ::setenv("HOME", dir_.c_str(), 1);
  fs::create_directories(dir_ / "logs");
  EXPECT_EQ(read("out = logs/a.txt\n").out, dir_ / "logs/a.txt");
  EXPECT_EQ(read("out = ~/logs/b.txt\n").out, dir_ / "logs/b.txt");
  EXPECT_EQ(read("out = /tmp/c.txt\n").out, fs::path("/tmp/c.txt"));
}

TEST_F(RecordConfig, RefusalsNameTheFileAndLine) {
  const std::string at = (dir_ / "record.conf").string() + ": ";
  struct Case {
    std::string text;
    std::string error;  // after "FILE: "
  };
  const std::vector<Case> cases = {
      {"interval = 5\ncolour = red\n", "line 2: unknown key 'colour'"},
      {"interval = 5\ninterval = 6\n", "line 2: 'interval' is already given on line 1"},
      {"\n\ninterval = 0\n", "line 3: --interval must be a whole number from 1 to 120, not \"0\""},
      {"high = five\n", "line 1: --high: \"five\" is not a number"},
      {"language = 9\n", "line 1: --language must be a whole number from 1 to 5, not \"9\""},
      {"decimal-separator = ;\n", "line 1: --decimal-separator must be \".\" or \",\", not \";\""},
      {"trace = maybe\n", "line 1: 'trace' is yes or no"},
      {"#\nuser = ann\n", "line 2: 'user' goes with 'broker'"},
      {"prefix = lab\n", "line 1: 'prefix' goes with 'broker'"},
      {"broker = mqtt://h/lab\nprefix = other\n",
       "line 2: the broker address already names a topic prefix"},
      {"broker = mqtt://ann@h\nuser = bob\nprefix = lab\n",
       "line 2: the broker address already names a user"},
      {"broker = http://h\nprefix = lab\n",
       "line 1: --publish: the address must begin with mqtt:// or mqtts://"},
      {"broker = mqtt://h\n",
       "line 1: --publish: a topic prefix must follow the host, as in mqtt://broker/lab/bench1"},
      {"broker = mqtt://h\nprefix = $SYS/x\n",
       "line 1: --publish: the topic prefix must not begin with \"$\" (the broker's own topics)"},
  };
  for (const Case& c : cases) EXPECT_EQ(refusal(c.text), at + c.error) << c.text;
}

TEST_F(RecordConfig, WholeFileAndOptionMistakes) {
  const std::string conf = write("interval = 1\n");
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const std::vector<Case> cases = {
      {{"--config", (dir_ / "none.conf").string()},
       "--config: \"" + (dir_ / "none.conf").string() + "\" is not a readable file"},
      {{"--config", dir_.string()}, "--config: \"" + dir_.string() + "\" is not a readable file"},
      {{"--config"}, "--config needs a value"},
      {{"--config="}, "--config needs a file name"},
      {{"--config", conf, "--config=" + conf}, "--config is given more than once"},
      {{"--config", conf, "--interval", "1", "--interval", "2"},
       "--interval is given more than once"},
  };
  for (const Case& c : cases) {
    try {
      read_record_options(c.args);
      ADD_FAILURE() << "taken: " << c.error;
    } catch (const UsageError& e) {
      EXPECT_EQ(std::string(e.what()), c.error);
    }
  }
}

std::string text_of(const fs::path& file) {
  std::ifstream in(file);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The example that the package installs is taken as it is, and it and the
// manual name every key.
TEST_F(RecordConfig, ExampleAndManualShowEveryKey) {
  const fs::path example = fs::path(TARVO_SOURCE_DIR) / "cli/record.conf";
  EXPECT_NO_THROW(read_record_options({"--config", example.string()}));
  const std::string shown = text_of(example);
  const std::string manual = text_of(fs::path(TARVO_SOURCE_DIR) / "docs/manual/manual.md");
  for (const std::string_view key : record_config_keys()) {
    const std::string k(key);
    EXPECT_TRUE(shown.find("\n" + k + " = ") != std::string::npos ||
                shown.find("\n#" + k + " = ") != std::string::npos)
        << k;
    EXPECT_NE(manual.find("| `" + k + "` |"), std::string::npos) << k;
  }
}

// The password file's content never shows, even when the file is refused.
TEST_F(RecordConfig, PasswordFileOthersCanReadIsRefusedWithoutShowingIt) {
  fs::permissions(dir_ / "password", fs::perms::owner_read | fs::perms::others_read);
  const std::string why =
      refusal("broker = mqtt://127.0.0.1\nuser = ann\nprefix = lab\npassword-file = password\n");
  EXPECT_NE(why.find("other users"), std::string::npos) << why;
  EXPECT_EQ(why.find("s3cret"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::cli
