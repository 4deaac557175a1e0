// The serial layer on real terminal devices: pseudo-terminals stand in for the
// cable. A pseudo-terminal keeps no parity, so parity is not checked here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "link/serial_ports.h"
#include "pty_pair.h"

namespace tarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using testing::PtyPair;

class PosixPort : public ::testing::Test {
 protected:
  MemoryTrace sink_;
  PortTrace trace_{sink_, [] { return LocalTime{2026, 12, 9, 10, 0, 5, 45}; }};
  SerialPorts ports_{make_system_serial_devices(), trace_};
  PtyPair cable_;
};

TEST_F(PosixPort, EveryByteValueArrivesUnchangedFromAFreshTerminal) {
  cable_.cook();
  ports_.assign(PortMap{{cable_.path()}, false});
  ASSERT_TRUE(ports_.open_port(1));

  const termios t = cable_.settings();
  EXPECT_EQ(cfgetispeed(&t), B2400);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
  EXPECT_NE(t.c_cflag & CLOCAL, 0u);
  EXPECT_NE(t.c_cflag & CREAD, 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);

  // CR, LF, XON, XOFF, ^C and DEL all occur inside meter frames.
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  cable_.send(all);
  Bytes buffer(8192);
  ASSERT_EQ(ports_.read_available(1, buffer), 256);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 256), all);
  EXPECT_EQ(cable_.echoed(), 0);
  EXPECT_EQ(ports_.read_available(1, buffer), 0);  // returns at once with nothing waiting
}

TEST_F(PosixPort, ASecondOpenOfTheSameDeviceFails) {
  ports_.assign(PortMap{{cable_.path(), cable_.path()}, false});
  EXPECT_TRUE(ports_.open_port(1));
  EXPECT_FALSE(ports_.open_port(2));
  EXPECT_EQ(sink_.lines(), (Lines{"10:00:05.45  COM1  IS OPEN", "10:00:05.45  COM2  OPEN FAIL"}));
  EXPECT_TRUE(ports_.close_port(1));
  EXPECT_TRUE(ports_.open_port(2));  // free again once closed
}

// Another program (not root, which the terminal driver lets through) must be
// kept out while the port is open.
TEST_F(PosixPort, OtherProgramsCannotOpenAnOpenPort) {
  ports_.assign(PortMap{{cable_.path()}, false});
  ASSERT_TRUE(ports_.open_port(1));
  if (geteuid() != 0) {
    errno = 0;
    EXPECT_EQ(open(cable_.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK), -1);
    EXPECT_EQ(errno, EBUSY);
    return;
  }
  if (chmod(cable_.path().c_str(), 0666) != 0) GTEST_SKIP() << "cannot open the device to others";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    const int fd = open(cable_.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    _exit(fd < 0 && errno == EBUSY ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot drop privileges here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "an unprivileged process opened the port";
}

TEST_F(PosixPort, PulledCableIsNoticedOnceWithoutReading) {
  ports_.assign(PortMap{{cable_.path()}, false});
  ASSERT_TRUE(ports_.open_port(1));
  cable_.send({0xA0, 0x00});
  EXPECT_TRUE(ports_.check_connected(1));
  sink_.clear();
  cable_.unplug();
  EXPECT_FALSE(ports_.check_connected(1));
  Bytes buffer(64);
  EXPECT_EQ(ports_.read_available(1, buffer), 0);
  EXPECT_TRUE(ports_.lost(1));
  EXPECT_TRUE(ports_.close_port(1));
  EXPECT_EQ(sink_.lines(),
            (Lines{"10:00:05.45  COM1  DISCONNECTED", "10:00:05.45  COM1  IS Closed"}));
}

TEST_F(PosixPort, ThingsThatAreNotTerminalsDoNotOpen) {
  ports_.assign(PortMap{{"/dev/null", "/nonexistent/ttyUSB0"}, false});
  EXPECT_FALSE(ports_.open_port(1));
  EXPECT_FALSE(ports_.open_port(2));
  EXPECT_EQ(ports_.table()[1].hSerialPort, 0u);
}

}  // namespace
}  // namespace tarvo
