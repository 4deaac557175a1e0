#include "command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "publish/broker_password.h"

namespace tarvo {
namespace {

TEST(CommandLine, ReadsTheOptions) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> ports;
    bool demo, start, debug, help;
    MeterModel family;
  };
  const Case cases[] = {
      {{}, {}, false, false, false, false, MeterModel::ModelTarvo},
      {{"--demo", "--start"}, {}, true, true, false, false, MeterModel::ModelTarvo},
      {{"--demo", "--family", "compact"}, {}, true, false, false, false, MeterModel::ModelNoxel},
      {{"--family=bench", "--demo"}, {}, true, false, false, false, MeterModel::ModelTarvo},
      {{"--port", "/dev/ttyUSB1", "--port=/dev/ttyS0", "--debug"},
       {"/dev/ttyUSB1", "/dev/ttyS0"},
       false,
       false,
       true,
       false,
       MeterModel::ModelTarvo},
      {{"--help"}, {}, false, false, false, true, MeterModel::ModelTarvo},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = parse_command_line(c.args);
    SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args.front());
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.ports, c.ports);
    EXPECT_EQ(parsed.options.demo, c.demo);
    EXPECT_EQ(parsed.options.start, c.start);
    EXPECT_EQ(parsed.options.debug, c.debug);
    EXPECT_EQ(parsed.options.help, c.help);
    EXPECT_EQ(parsed.options.demo_family, c.family);
  }
}

TEST(CommandLine, LanguageForOneRunIsANumberFromOneToFive) {
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{}, 0}, {{"--language", "1"}, 1}, {{"--language=5"}, 5}, {{"--demo", "--language", "3"}, 3}};
  for (const auto& [args, language] : cases) {
    const ParsedCommandLine parsed = parse_command_line(args);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.language, language);
  }
}

TEST(CommandLine, RefusesWhatItCannotUse) {
  const std::vector<std::string> cases[] = {
      {"--port"},
      {"--port="},
      {"--demo", "--family", "handheld"},
      {"--family", "compact"},  // no demo to give it to
      {"--demo", "--family"},
      {"--stat"},
      {"/dev/ttyUSB0"},
      {"--publish"},
      {"--publish", "mqtt://broker"},
      {"--publish", "mqtt://broker/$SYS"},
      {"--demo", "--family", "bench", "--family", "compact"},
      {"--publish", "mqtt://a/x", "--publish=mqtt://b/y"},
      {"--password-file", "/nonexistent"},  // no broker to give it to
      {"--discovery"},                      // nor here
      {"--publish", "mqtt://ann@broker/lab", "--password-file", "/nonexistent"},
      {"--language"},
      {"--language", "0"},
      {"--language", "6"},
      {"--language=12"},
      {"--language", "en"},
      {"--language", "1", "--language", "2"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.back());
    EXPECT_NE(parse_command_line(args).error, "");
  }
}

TEST(CommandLine, PublishTakesABrokerAddressOrSaysWhatIsWrongWithIt) {
  const ParsedCommandLine good = parse_command_line({"--publish=mqtts://broker/lab/b1"});
  ASSERT_EQ(good.error, "");
  ASSERT_TRUE(good.options.publish.has_value());
  EXPECT_EQ(good.options.publish->port, 8883);
  EXPECT_EQ(good.options.publish->prefix, "lab/b1");
  EXPECT_FALSE(good.options.publish->discovery);
  const ParsedCommandLine announced = parse_command_line({"--discovery", "--publish=mqtt://b/x"});
  ASSERT_EQ(announced.error, "");
  EXPECT_TRUE(announced.options.publish->discovery);
  EXPECT_EQ(parse_command_line({"--publish", "mqtt://broker:99999/lab"}).error,
            "--publish: the port must be a number from 1 to 65535");
}

// The window takes the broker password the ways tarvo-cli record does.
TEST(CommandLine, PasswordComesFromAPrivateFileOrTheEnvironment) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("tarvo-pw-" + std::to_string(::getpid()));
  std::ofstream(file) << "from-file\n";
  std::filesystem::permissions(file, std::filesystem::perms::owner_read);
  const ParsedCommandLine from_file =
      parse_command_line({"--publish", "mqtt://ann@broker/lab", "--password-file", file.string()});
  ASSERT_EQ(from_file.error, "");
  EXPECT_EQ(from_file.options.publish->password, "from-file");
  std::filesystem::permissions(file, std::filesystem::perms::group_read,
                               std::filesystem::perm_options::add);
  const ParsedCommandLine shared =
      parse_command_line({"--publish", "mqtt://ann@broker/lab", "--password-file", file.string()});
  EXPECT_NE(shared.error.find("other users"), std::string::npos) << shared.error;
  std::filesystem::remove(file);

  ::setenv(kPasswordVariable, "from-env", 1);
  const ParsedCommandLine from_env = parse_command_line({"--publish", "mqtt://ann@broker/lab"});
  ::unsetenv(kPasswordVariable);
  ASSERT_EQ(from_env.error, "");
  EXPECT_EQ(from_env.options.publish->password, "from-env");
}

}  // namespace
}  // namespace tarvo
