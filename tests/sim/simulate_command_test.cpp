#include "simulate_command.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "sim_test_support.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Outcome {
  int status = -1;
  std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Outcome o;
  o.status = run_simulate(args, out, err);
  o.out = out.str();
  o.err = err.str();
  return o;
}

class SimulateCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tarvo-sim-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write_file(const std::string& name, const std::string& text) const {
    const fs::path path = dir_ / name;
    std::ofstream(path) << text;
    return path.string();
  }

  // Waits for the simulator to make its link; false after a few seconds.
  static bool wait_for_link(const fs::path& link, const fs::path& old_target = {}) {
    for (int i = 0; i < 300; ++i) {
      std::error_code no_link;
      const fs::path target = fs::read_symlink(link, no_link);
      if (!no_link && target != old_target) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

  static void check_refused(
      const std::vector<std::pair<std::vector<std::string>, std::string>>& cases);

  fs::path dir_;
};

TEST_F(SimulateCommand, BadArgumentsExitWithTwo) {
  const std::string broken = write_file("broken.txt", "every 300ms\nDCV 50.000 V 12 HOLDD\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"--family", "pocket"}, "--family must be bench or compact"},
      {{"--hangup-after", "0"}, "--hangup-after must be a whole number from 1"},
      {{"--hangup-after=soon"}, "--hangup-after must be a whole number"},
      {{"--link"}, "--link needs a value"},
      {{"--bogus"}, "unknown option --bogus"},
      {{"now"}, "unexpected argument \"now\""},
      {{"--scenario", (dir_ / "missing.txt").string()}, "cannot read the scenario file"},
      {{"--scenario", broken}, broken + ": line 2: unknown word \"HOLDD\""},
      {{"--family", "compact", "--scenario", write_file("bench.txt", "OHM 500.00 Ω 1\nREL")},
       "line 2: unknown step or function \"REL\" for the compact meter"},
  };
  check_refused(cases);
}

// Files that are not scenarios a person wrote are refused before they are
// read: a device streams forever, a FIFO without a writer never ends.
TEST_F(SimulateCommand, ScenarioThatIsNoRegularFileOrTooLargeIsRefused) {
  const fs::path fifo = dir_ / "fifo.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path huge = dir_ / "huge.txt";
  std::ofstream(huge).close();
  fs::resize_file(huge, (16u << 20) + 1);  // sparse: costs no disk
  check_refused({
      {{"--scenario", "/dev/zero"}, "it is a device, not a regular file"},
      {{"--scenario", fifo.string()}, "it is a pipe (FIFO), not a regular file"},
      {{"--scenario", dir_.string()}, "it is a folder, not a file"},
      {{"--scenario", huge.string()}, "it is larger"},
  });
}

TEST_F(SimulateCommand, SingleValuedOptionGivenTwiceIsRefused) {
  check_refused({
      {{"--family", "bench", "--family", "compact"}, "--family is given more than once"},
      {{"--link=a", "--link", "b"}, "--link is given more than once"},
  });
}

void SimulateCommand::check_refused(
    const std::vector<std::pair<std::vector<std::string>, std::string>>& cases) {
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    const Outcome o = run(args);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_TRUE(o.err.starts_with("tarvo-cli simulate: ")) << o.err;
    EXPECT_NE(o.err.find(message), std::string::npos) << o.err;
  }
}

TEST_F(SimulateCommand, PrintsThePortLinksItAndHangsUp) {
  const fs::path link = dir_ / "meter";
  const fs::path stale = "/nonexistent/old-port";
  fs::create_symlink(stale, link);  // left over from an earlier run
  const std::string scenario = write_file("s.txt", "family compact\nDCV 5.0000 V 1.2345 for 1h\n");
  Outcome o;
  std::thread simulator([&] {
    o = run({"--scenario", scenario, "--link", link.string(), "--hangup-after", "1"});
  });
  if (!wait_for_link(link, stale)) {
    simulator.join();
    FAIL() << "no link; " << o.err;
  }
  const fs::path port = fs::read_symlink(link);
  const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  sim::test::Bytes bytes;
  for (int i = 0; i < 500 && fd >= 0; ++i) {  // until the hang-up, at most five seconds
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, 10);
    std::uint8_t buffer[64];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    if (n == 0 || (n < 0 && errno == EIO) || (p.revents & POLLHUP) != 0) break;
  }
  if (fd >= 0) close(fd);
  simulator.join();

  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, port.string() + "\n");
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  RxBuffer rx;
  CurrentReading r;
  ASSERT_TRUE(sim::test::feed(rx, r, MeterModel::ModelNoxel, bytes));
  EXPECT_EQ(r.Main_Range, "DCV AUTO 5.0000 V");
  EXPECT_EQ(r.Main_No, "1.2345");
}

TEST_F(SimulateCommand, StopsCleanlyOnSigterm) {
  const fs::path link = dir_ / "meter";
  Outcome o;
  std::thread simulator([&] { o = run({"--family", "compact", "--link", link.string()}); });
  const bool linked = wait_for_link(link);
  kill(getpid(), SIGTERM);  // also ends a simulator that is slow to start
  simulator.join();
  ASSERT_TRUE(linked);
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(o.out.starts_with("/dev/"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST_F(SimulateCommand, NeverReplacesARealFile) {
  const std::string file = write_file("precious.txt", "keep me");
  const Outcome o = run({"--link", file, "--hangup-after", "1"});
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("tarvo-cli simulate: "), std::string::npos);
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
}

}  // namespace
}  // namespace tarvo::cli
