#include "pty_pair.h"

#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace tarvo::testing {

PtyPair::PtyPair() {
  termios raw{};
  cfmakeraw(&raw);
  char name[128] = {};
  if (openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }
  path_ = name;
}

PtyPair::~PtyPair() {
  if (slave_ >= 0) close(slave_);
  if (master_ >= 0) close(master_);
}

int PtyPair::queued() const {
  int n = 0;
  ioctl(slave_, FIONREAD, &n);
  return n;
}

// The kernel moves bytes from master to slave on a work queue, a little later.
void PtyPair::send(const std::vector<std::uint8_t>& bytes) {
  const int before = queued();
  if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("short write to the pty master");
  }
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (queued() < before + static_cast<int>(bytes.size())) {
    if (std::chrono::steady_clock::now() > give_up) throw std::runtime_error("pty bytes lost");
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

void PtyPair::unplug() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

void PtyPair::cook() {
  termios t = settings();
  t.c_iflag |= ICRNL | IXON;
  t.c_oflag |= OPOST | ONLCR;
  t.c_lflag |= ICANON | ECHO | ECHOE | ISIG | IEXTEN;
  tcsetattr(slave_, TCSANOW, &t);
}

int PtyPair::echoed() const {
  int n = 0;
  ioctl(master_, FIONREAD, &n);
  return n;
}

termios PtyPair::settings() const {
  termios t{};
  tcgetattr(slave_, &t);
  return t;
}

}  // namespace tarvo::testing
