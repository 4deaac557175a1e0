// Notes typed into a running recording: whole lines, never a wait.
#include "input_lines.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace tarvo::cli {
namespace {

class Pipe {
 public:
  Pipe() { EXPECT_EQ(::pipe(fds_), 0); }
  ~Pipe() {
    for (int fd : fds_) {
      if (fd >= 0) ::close(fd);
    }
  }
  void write(const std::string& bytes) {
    ASSERT_EQ(::write(fds_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void close_writer() {
    ::close(fds_[1]);
    fds_[1] = -1;
  }
  int reader() const { return fds_[0]; }

 private:
  int fds_[2] = {-1, -1};
};

using Lines = std::vector<std::string>;

TEST(InputLines, WholeLinesOnlyAndNeverAWait) {
  Pipe pipe;
  InputLines input(pipe.reader());
  EXPECT_EQ(input.take(), Lines{});  // nothing typed: returns at once
  pipe.write("probe on C12\r\nhalf a li");
  EXPECT_EQ(input.take(), Lines{"probe on C12"});
  pipe.write("ne\n\n");
  EXPECT_EQ(input.take(), (Lines{"half a line", ""}));
  pipe.write(std::string(1500, 'x') + "\nlast words");
  EXPECT_EQ(input.take(), Lines{std::string(InputLines::kLongest, 'x')});
  EXPECT_FALSE(input.ended());
  pipe.close_writer();
  EXPECT_EQ(input.take(), Lines{"last words"});
  EXPECT_TRUE(input.ended());
  EXPECT_EQ(input.take(), Lines{});
}

}  // namespace
}  // namespace tarvo::cli
