// The programs as a user runs them: help and version of every command, and a
// scan that finds `tarvo-cli simulate` on its pseudo-terminal.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <vector>

#include "child_process.h"

namespace tarvo {
namespace {

using std::chrono::seconds;
using testing::ChildProcess;

constexpr const char* kCli = TARVO_CLI;
constexpr const char* kVersion = TARVO_VERSION;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(const std::vector<std::string>& argv) {
  ChildProcess p(argv);
  Outcome r;
  r.out = p.read_rest();
  r.err = p.read_error();
  r.status = p.wait(seconds(20));
  return r;
}

TEST(CliProcess, EveryCommandShowsItsHelp) {
  for (const char* command :
       {"decode", "simulate", "record", "scan", "convert", "combine", "chart"}) {
    const std::string usage = std::string("Usage: tarvo-cli ") + command + " ";
    // The help wins over the rest of the line: nothing is recorded or read.
    const std::vector<std::vector<std::string>> lines = {{command, "--help"},
                                                         {command, "-h"},
                                                         {command, "--port", "/dev/null", "-h"},
                                                         {"help", command}};
    for (const std::vector<std::string>& args : lines) {
      std::vector<std::string> argv = {kCli};
      argv.insert(argv.end(), args.begin(), args.end());
      const Outcome r = run(argv);
      EXPECT_EQ(r.status, 0) << command;
      EXPECT_TRUE(r.out.starts_with(usage)) << r.out;
      EXPECT_NE(r.out.find("\n  -h, --help "), std::string::npos) << command;
      EXPECT_EQ(r.err, "") << command;
    }
  }
}

TEST(CliProcess, TheToolsHelpListsEveryCommandAndTheVersion) {
  const Outcome help = run({kCli, "--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* synopsis :
       {"\n  tarvo-cli decode [", "\n  tarvo-cli simulate [", "\n  tarvo-cli record [",
        "\n  tarvo-cli scan [", "\n  tarvo-cli convert IN OUT", "\n  tarvo-cli chart IN OUT",
        "\n  tarvo-cli combine SESSION... OUT", "\n  --version "}) {
    EXPECT_NE(help.out.find(synopsis), std::string::npos) << synopsis;
  }
  const Outcome version = run({kCli, "--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("tarvo-cli ") + kVersion + "\n");
  const Outcome unknown = run({kCli, "help", "frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.out, "");
  EXPECT_TRUE(unknown.err.starts_with("tarvo-cli: unknown command \"frobnicate\"\n"));
}

#ifdef TARVO_PROGRAM
TEST(CliProcess, TheDesktopProgramTellsItsVersionWithoutADisplay) {
  const Outcome version = run({TARVO_PROGRAM, "--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("tarvo ") + kVersion + "\n");
  const Outcome help = run({TARVO_PROGRAM, "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("\n  --version "), std::string::npos) << help.out;
}
#endif

TEST(CliProcess, ScanFindsTheSimulatedMeter) {
  ChildProcess meter({kCli, "simulate", "--family", "compact"});
  const std::string port = meter.read_line(seconds(10)).value_or("");
  ASSERT_FALSE(port.empty());
  ChildProcess scan({kCli, "scan", "--port", port, "--json"});
  const std::string first = scan.read_line(seconds(20)).value_or("");
  scan.read_rest();
  EXPECT_EQ(scan.wait(seconds(20)), 0) << scan.read_error();
  EXPECT_TRUE(first.starts_with(R"({"path":")" + port +
                                R"(","opened":true,"family":"compact","usb":"","reason":"")"))
      << first;
  meter.send(SIGTERM);
  EXPECT_EQ(meter.wait(seconds(10)), 0);
}

}  // namespace
}  // namespace tarvo
