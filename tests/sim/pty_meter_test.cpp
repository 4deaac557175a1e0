#include "pty_meter.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>

#include "scenario_parser.h"
#include "sim_test_support.h"

namespace tarvo::sim {
namespace {

using std::chrono::milliseconds;
using test::Bytes;

constexpr MeterModel kBench = MeterModel::ModelTarvo;
constexpr MeterModel kCompact = MeterModel::ModelNoxel;

ScenarioPlayer player_of(std::string_view text, MeterModel family = kBench) {
  return ScenarioPlayer(parse_scenario(text, family));
}

// The program's side of the line: the port opened like a serial port.
class Reader {
 public:
  explicit Reader(const std::string& path)
      : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
  ~Reader() {
    if (fd_ >= 0) close(fd_);
  }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

struct Received {
  Bytes bytes;
  bool line_closed = false;  // end of stream, EIO or POLLHUP
};

// Drives the meter and reads the port for `how_long`, the way an event loop
// would: sleep until the meter's deadline or until bytes arrive.
Received run_and_read(PtyMeter& meter, int fd, Duration how_long) {
  Received got;
  const Clock::time_point end = Clock::now() + how_long;
  while (Clock::now() < end && !got.line_closed) {
    const Clock::time_point deadline = std::min(meter.pump(Clock::now()), end);
    const auto wait = std::chrono::ceil<milliseconds>(deadline - Clock::now());
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, static_cast<int>(std::max<long long>(wait.count(), 0)));
    std::uint8_t buffer[256];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) got.bytes.insert(got.bytes.end(), buffer, buffer + n);
    if (n == 0 || (n < 0 && errno == EIO) || (p.revents & POLLHUP) != 0) got.line_closed = true;
  }
  return got;
}

// Every frame starts with the only byte of the form 101xxxxx.
int frames_in(const Bytes& bytes) {
  int frames = 0;
  for (const std::uint8_t b : bytes) frames += (b & 0xE0) == 0xA0;
  return frames;
}

TEST(PtyMeter, ReaderDecodesTheScenariosReadings) {
  struct Case {
    MeterModel family;
    const char* scenario;
    const char* main_range;
    const char* main_no;
    const char* sub_range;
    const char* sub_no;
  };
  const Case cases[] = {
      {kBench, "DCV 50.000 V -12.345 sub FRE 9.9999 KHz 0.0060 for 1h", "DCV AUTO 50.000 V",
       "-12.345", "FRE 9.9999 KHz", "0.0060"},
      {kCompact, "dBm MANU 99.99 dBm -3.21 HOLD for 1h", "dBm MANU 99.99 dBm", "-3.21", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scenario);
    PtyMeter meter(player_of(c.scenario, c.family), Clock::now());
    const Reader reader(meter.device_path());
    ASSERT_GE(reader.fd(), 0) << meter.device_path();
    const Received got = run_and_read(meter, reader.fd(), milliseconds(900));
    EXPECT_FALSE(got.line_closed);

    const int frames = frames_in(got.bytes);
    EXPECT_GE(frames, 2);  // about three a second
    EXPECT_LE(frames, 4);
    RxBuffer rx;
    CurrentReading r;
    ASSERT_TRUE(test::feed(rx, r, c.family, got.bytes));
    EXPECT_EQ(r.Main_Range, c.main_range);
    EXPECT_EQ(r.Main_No, c.main_no);
    EXPECT_EQ(r.Sub_range, c.sub_range);
    EXPECT_EQ(r.Sub_No, c.sub_no);
  }
}

TEST(PtyMeter, PortPassesEveryByteUnchanged) {
  // Line ends, interrupt, end-of-file, XON/XOFF, suspend, delete: all data here.
  const Bytes sent{0x00, 0x03, 0x04, 0x0A, 0x0D, 0x11, 0x13, 0x1A, 0x1C, 0x7F, 0xFF};
  PtyMeter meter(player_of("bytes 00 03 04 0A 0D 11 13 1A 1C 7F FF\nstop"), Clock::now());
  const Reader reader(meter.device_path());
  const Received got = run_and_read(meter, reader.fd(), milliseconds(150));
  EXPECT_EQ(got.bytes, sent);
}

TEST(PtyMeter, BytesSentWhileNoOneListensAreGone) {
  PtyMeter meter(player_of("every 1ms\nDCV 50.000 V 1 for 1h"), Clock::now(), {Duration(1), {}});
  // Two thousand frames that nobody reads, more than the port could hold.
  const Clock::time_point start = Clock::now();
  for (int i = 1; i <= 2000; ++i) meter.pump(start + i * milliseconds(1));
  const Reader reader(meter.device_path());
  std::uint8_t buffer[64];
  EXPECT_LT(read(reader.fd(), buffer, sizeof buffer), 1);
}

TEST(PtyMeter, FullReaderBufferIsRetriedAtTheLinePaceNotInALoop) {
  PtyMeter meter(player_of("junk 1000"), Clock::now(), {Duration(1), {}});
  const Reader reader(meter.device_path());  // opens the port, never reads
  const Clock::time_point start = Clock::now();
  for (int i = 1; i <= 500; ++i) {
    const Clock::time_point now = start + i * milliseconds(1);
    ASSERT_GT(meter.pump(now), now) << "after " << i << " ms";
  }
  std::uint8_t buffer[64];
  EXPECT_EQ(read(reader.fd(), buffer, sizeof buffer), 64);  // the line did fill up
}

TEST(PtyMeter, ReaderSeesTheHangUp) {
  struct Case {
    const char* name;
    const char* scenario;
    std::optional<Duration> hang_up_after;
  };
  const Case cases[] = {
      {"--hangup-after", "DCV 50.000 V 1 for 1h", milliseconds(500)},
      {"scenario step", "every 100ms\nDCV 50.000 V 1 for 500ms\nhangup", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PtyMeter meter(player_of(c.scenario), Clock::now(), {kByteTime, c.hang_up_after});
    const Reader reader(meter.device_path());
    const Received got = run_and_read(meter, reader.fd(), std::chrono::seconds(5));
    EXPECT_TRUE(got.line_closed);
    EXPECT_TRUE(meter.hung_up());
    EXPECT_EQ(meter.master_fd(), -1);
    EXPECT_GE(got.bytes.size(), 14U);  // it did talk before going away
    EXPECT_EQ(meter.pump(Clock::now()), Clock::time_point::max());
  }
}

}  // namespace
}  // namespace tarvo::sim
