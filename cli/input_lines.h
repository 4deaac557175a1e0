#pragma once

#include <string>
#include <vector>

namespace tarvo::cli {

// The whole lines that wait on a file descriptor (record's standard input),
// read without ever blocking: a recording asks once a tick. A line longer
// than kLongest is cut there; an end of input stops the asking.
class InputLines {
 public:
  explicit InputLines(int fd) : fd_(fd) {}

  std::vector<std::string> take();
  bool ended() const { return ended_; }

  static constexpr std::size_t kLongest = 1000;

 private:
  int fd_;
  std::string partial_;
  bool ended_ = false;
};

}  // namespace tarvo::cli
