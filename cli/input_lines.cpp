#include "input_lines.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace tarvo::cli {

std::vector<std::string> InputLines::take() {
  std::vector<std::string> lines;
  while (!ended_) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0 || (p.revents & (POLLIN | POLLHUP)) == 0) break;
    char buf[4096];
    const ssize_t n = read(fd_, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ended_ = true;  // the end of input, or an input that cannot be read
      break;
    }
    for (ssize_t i = 0; i < n; ++i) {
      if (buf[i] == '\n') {
        lines.push_back(std::move(partial_));
        partial_.clear();
      } else if (partial_.size() < kLongest && buf[i] != '\r') {
        partial_ += buf[i];
      }
    }
  }
  if (ended_ && !partial_.empty()) {
    lines.push_back(std::move(partial_));  // the last line needs no line break
    partial_.clear();
  }
  return lines;
}

}  // namespace tarvo::cli
