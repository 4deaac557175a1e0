// Serial devices on Linux and macOS: tty device files.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "link/serial_device.h"

#if defined(__linux__)
#include <poll.h>
#endif

namespace tarvo {
namespace {

// Descriptor 0 is a valid descriptor but handle 0 means "not open".
PortHandle handle_of(int fd) {
  return static_cast<PortHandle>(fd) + 1;
}
int fd_of(PortHandle handle) {
  return static_cast<int>(handle - 1);
}

OpenFailure failure_of(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return OpenFailure::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
      return OpenFailure::Busy;
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return OpenFailure::Missing;
    case ENOTTY:  // a file or a device that is no terminal
      return OpenFailure::Refused;
    default:
      return OpenFailure::Other;
  }
}

// 2400 baud, 8 data bits, even parity, 1 stop bit, and raw: a tty left in its
// usual line-editing mode would echo, translate CR and swallow XON/XOFF bytes,
// all of which occur inside meter frames. VMIN 0 / VTIME 0 make a read return
// at once with what is queued.
bool apply_line_settings(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return false;
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IXON | IXOFF | IXANY | INPCK);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARODD | CSTOPB);
  t.c_cflag |= CS8 | PARENB | CLOCAL | CREAD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (cfsetispeed(&t, B2400) != 0 || cfsetospeed(&t, B2400) != 0) return false;
  // Judged by what the driver kept, not by the result: a pseudo-terminal drops
  // the parity bit, and the C library then reports the whole call as refused.
  tcsetattr(fd, TCSANOW, &t);
  termios kept{};
  if (tcgetattr(fd, &kept) != 0) return false;
  constexpr tcflag_t kRawLocal = ECHO | ICANON | ISIG | IEXTEN;
  return cfgetispeed(&kept) == B2400 && (kept.c_cflag & CSIZE) == CS8 &&
         (kept.c_cflag & (CLOCAL | CREAD)) == (CLOCAL | CREAD) && (kept.c_lflag & kRawLocal) == 0 &&
         (kept.c_iflag & (IXON | ICRNL)) == 0 && kept.c_cc[VMIN] == 0 && kept.c_cc[VTIME] == 0;
}

// TIOCEXCL keeps other programs out, but not root; the advisory lock also
// keeps out a second copy of this program running as root, and a second port
// number that names the same device through another path.
bool take_exclusive(int fd) {
  if (ioctl(fd, TIOCEXCL) != 0) return false;
  return flock(fd, LOCK_EX | LOCK_NB) == 0;
}

bool hung_up(int fd) {
#if defined(__linux__)
  // macOS cannot poll devices, so there the failing ioctl is the only sign.
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return true;
#else
  (void)fd;
#endif
  return false;
}

class PosixSerialDevices final : public SerialDevices {
 public:
  OpenedDevice open(const std::string& device) override {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {0, failure_of(errno)};
    if (!take_exclusive(fd)) {
      const int error = errno;
      ::close(fd);
      return {0, failure_of(error)};
    }
    if (!apply_line_settings(fd)) {
      ::close(fd);
      return {0, OpenFailure::Refused};
    }
    return {handle_of(fd), OpenFailure::None};
  }

  bool close(PortHandle handle) override {
    // The descriptor is released even when close reports an error.
    return ::close(fd_of(handle)) == 0 || errno == EINTR;
  }

  std::optional<std::int64_t> waiting(PortHandle handle) override {
    const int fd = fd_of(handle);
    int queued = 0;
    if (ioctl(fd, FIONREAD, &queued) != 0 || hung_up(fd)) return std::nullopt;
    return queued;
  }

  std::optional<std::int64_t> read(PortHandle handle, std::span<std::uint8_t> buffer) override {
    const ssize_t n = ::read(fd_of(handle), buffer.data(), buffer.size());
    if (n >= 0) return n;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
    return std::nullopt;
  }

  void discard_input(PortHandle handle) override { tcflush(fd_of(handle), TCIFLUSH); }

  bool same_device(const std::string& a, const std::string& b) const override {
    struct stat sa = {};
    struct stat sb = {};
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return a == b;
    if (S_ISCHR(sa.st_mode) && S_ISCHR(sb.st_mode)) return sa.st_rdev == sb.st_rdev;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }
};

}  // namespace

std::unique_ptr<SerialDevices> make_system_serial_devices() {
  return std::make_unique<PosixSerialDevices>();
}

}  // namespace tarvo
