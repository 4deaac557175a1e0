// tarvo-cli scan over pseudo-terminals: named ones and one the (fake) system
// lists as a USB adapter, each fed during the listening second.
#include "scan_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "pty_pair.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using tarvo::testing::PtyPair;

const Bytes kBenchFrame = {0xA0, 0x00, 0x30, 0x00, 0x00, 0x04, 0x02,
                           0x05, 0x04, 0x00, 0x00, 0x00, 0x5B, 0x00};
const Bytes kCompactFrame = {0xA0, 0x00, 0x10, 0x00, 0x04, 0x02, 0x05, 0x04};

class Scan : public ::testing::Test {
 protected:
  Scan() {
    dir_ = fs::temp_directory_path() / ("tarvo-scan-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    env_.roots = {dir_ / "sys", dir_ / "dev"};
    fs::create_directories(env_.roots.sys_class_tty);
    fs::create_directories(env_.roots.dev);
    std::ofstream(dir_ / "notes.txt") << "not a port\n";
    env_.listen = [this] {
      for (auto& [pty, bytes] : feeds_) pty->send(bytes);
    };
  }
  ~Scan() override {
    if (held_ >= 0) close(held_);
    fs::remove_all(dir_);
  }

  // The system lists `pty` as ttyUSB0 of a CH340 adapter.
  std::string add_usb_adapter(const PtyPair& pty) {
    const fs::path usb = dir_ / "devices/usb1/1-2";
    const fs::path port = usb / "1-2:1.0/ttyUSB0";
    fs::create_directories(port);
    fs::create_directories(dir_ / "drivers/ch341-uart");
    fs::create_symlink(dir_ / "drivers/ch341-uart", port / "driver");
    std::ofstream(usb / "idVendor") << "1a86\n";
    std::ofstream(usb / "idProduct") << "7523\n";
    std::ofstream(usb / "product") << "USB Serial\n";
    fs::create_directories(env_.roots.sys_class_tty / "ttyUSB0");
    fs::create_directory_symlink(port, env_.roots.sys_class_tty / "ttyUSB0/device");
    fs::create_symlink(pty.path(), env_.roots.dev / "ttyUSB0");
    return (env_.roots.dev / "ttyUSB0").string();
  }
  // Another program holds the port.
  void hold(const PtyPair& pty) {
    held_ = open(pty.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(held_, LOCK_EX | LOCK_NB), 0);
  }

  struct Outcome {
    int status;
    std::string out, err;
  };
  Outcome scan(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = run_scan(args, out, err, env_);
    return {status, out.str(), err.str()};
  }

  fs::path dir_;
  ScanEnvironment env_;
  std::vector<std::pair<PtyPair*, Bytes>> feeds_;
  int held_ = -1;
};

std::string json(const std::string& path, bool opened, const std::string& family,
                 const std::string& usb, const std::string& reason, const std::string& product = "",
                 const std::string& driver = "") {
  return R"({"path":")" + path + R"(","opened":)" + (opened ? "true" : "false") + R"(,"family":")" +
         family + R"(","usb":")" + usb + R"(","reason":")" + reason + R"(","product":")" + product +
         R"(","serial":"","driver":")" + driver + "\"}\n";
}

TEST_F(Scan, ListsNamedPortsThenTheSystemsWithWhatEachCarries) {
  PtyPair bench, silent, held, adapter;
  feeds_ = {{&bench, kBenchFrame}, {&adapter, kCompactFrame}};
  hold(held);
  const std::string usb_port = add_usb_adapter(adapter);
  const std::string notes = (dir_ / "notes.txt").string();
  const std::vector<std::string> named = {"--port", silent.path(), "--port", bench.path(),
                                          "--port", held.path(),   "--port", "/dev/tarvo-none",
                                          "--port", notes};

  std::vector<std::string> args = named;
  args.push_back("--json");
  Outcome r = scan(args);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            json(silent.path(), true, "", "", "") + json(bench.path(), true, "bench", "", "") +
                json(held.path(), false, "", "", "busy: another program holds it") +
                json("/dev/tarvo-none", false, "", "", "no such device") +
                json(notes, false, "", "", "not a serial port: it refused the line settings") +
                json(usb_port, true, "compact", "1a86:7523", "", "USB Serial", "ch341-uart"));

  r = scan(named);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, silent.path() + "\n  opened, no meter frames in 1 s\n" + bench.path() +
                       "\n  opened, bench meter frames\n" + held.path() +
                       "\n  not opened: busy: another program holds it\n"
                       "/dev/tarvo-none\n  not opened: no such device\n" +
                       notes + "\n  not opened: not a serial port: it refused the line settings\n" +
                       usb_port + " -> " + adapter.path() +
                       "\n  USB 1a86:7523 USB Serial, driver ch341-uart\n"
                       "  opened, compact meter frames\n"
                       "Start would use " +
                       bench.path() + ".\n");
}

TEST_F(Scan, SaysSoWhenNoPortCarriesFrames) {
  PtyPair silent;
  Outcome r = scan({"--port", silent.path()});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out,
            silent.path() + "\n  opened, no meter frames in 1 s\nNo port carried meter frames.\n");

  r = scan({"--json"});  // a system without serial ports
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(scan({}).out, "No serial ports.\n");
}

TEST_F(Scan, RefusesBadArguments) {
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"--port"}, {"--port="}, {"--jsonx"}, {"extra"}}) {
    const Outcome r = scan(args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("tarvo-cli scan: ")) << r.err;
  }
}

}  // namespace
}  // namespace tarvo::cli
