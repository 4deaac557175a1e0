#include "pty_meter.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace tarvo::sim {

namespace {

constexpr int kMaxRoundsPerPump = 64;

[[noreturn]] void throw_errno(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

void set_flags(int fd) {
  const int status = fcntl(fd, F_GETFL);
  const int descriptor = fcntl(fd, F_GETFD);
  if (status < 0 || descriptor < 0 || fcntl(fd, F_SETFL, status | O_NONBLOCK) < 0 ||
      fcntl(fd, F_SETFD, descriptor | FD_CLOEXEC) < 0) {
    throw_errno("fcntl");
  }
}

bool set_raw_2400(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  return cfsetispeed(&t, B2400) == 0 && cfsetospeed(&t, B2400) == 0 &&
         tcsetattr(fd, TCSANOW, &t) == 0;
}

// Raw mode, so the reader gets the bytes unchanged (no echo, no line editing,
// no CR/LF translation). The port keeps it while the master stays open, and
// after this close the master reports a hang-up until a reader opens the port.
void make_port_raw(const std::string& path) {
  const int slave = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave < 0) throw_errno("open pseudo-terminal port");
  const bool ok = set_raw_2400(slave);
  const int saved = errno;
  close(slave);
  errno = saved;
  if (!ok) throw_errno("set the pseudo-terminal port to raw mode");
}

int open_master(std::string& path) {
  // Non-blocking and close-on-exec are set afterwards: some systems take only
  // O_RDWR and O_NOCTTY here.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) throw_errno("posix_openpt");
  try {
    set_flags(master);
    if (grantpt(master) != 0) throw_errno("grantpt");
    if (unlockpt(master) != 0) throw_errno("unlockpt");
    const char* name = ptsname(master);
    if (name == nullptr) throw_errno("ptsname");
    path = name;
    make_port_raw(path);
  } catch (...) {
    close(master);
    throw;
  }
  return master;
}

}  // namespace

PtyMeter::PtyMeter(ScenarioPlayer player, Clock::time_point start, PtyMeterOptions options)
    : schedule_(std::move(player), start, options.byte_time), byte_time_(options.byte_time) {
  master_ = open_master(device_path_);
  if (options.hang_up_after) hang_up_at_ = start + *options.hang_up_after;
}

PtyMeter::~PtyMeter() {
  hang_up();
}

void PtyMeter::hang_up() {
  if (master_ < 0) return;
  close(master_);
  master_ = -1;
}

bool PtyMeter::reader_present() const {
  pollfd p{master_, 0, 0};
  return poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0;
}

// The meter never listens, but a reader that writes must not fill the line up.
void PtyMeter::discard_input() {
  std::uint8_t sink[256];
  for (int i = 0; i < 16; ++i) {
    if (read(master_, sink, sizeof sink) <= 0) return;
  }
}

bool PtyMeter::write_out(std::span<const std::uint8_t> bytes) {
  const ssize_t written = write(master_, bytes.data(), bytes.size());
  if (written >= 0) {
    schedule_.sent(static_cast<std::size_t>(written));
    return static_cast<std::size_t>(written) == bytes.size();
  }
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return false;
  schedule_.sent(bytes.size());  // the line is gone for now: the bytes are lost
  return true;
}

Clock::time_point PtyMeter::pump(Clock::time_point now) {
  if (master_ < 0) return Clock::time_point::max();
  if (hang_up_at_ && now >= *hang_up_at_) {
    hang_up();
    return Clock::time_point::max();
  }
  discard_input();
  const bool listening = reader_present();
  bool blocked = false;
  // Several rounds, as due() hands out one emission at a time.
  for (int round = 0; round < kMaxRoundsPerPump && !blocked; ++round) {
    const std::span<const std::uint8_t> bytes = schedule_.due(now);
    if (schedule_.state() == Emission::Then::HangUp) {
      hang_up();
      return Clock::time_point::max();
    }
    if (bytes.empty()) break;
    if (listening) {
      blocked = !write_out(bytes);
    } else {
      schedule_.sent(bytes.size());
    }
  }
  // A full buffer is retried at the line's pace, not in a tight loop.
  Clock::time_point next = schedule_.next_deadline();
  if (blocked) next = std::max(next, now + byte_time_);
  if (hang_up_at_) next = std::min(next, *hang_up_at_);
  return next;
}

}  // namespace tarvo::sim
