#pragma once

#include <array>
#include <ostream>
#include <streambuf>

#include "files/atomic_file.h"

namespace tarvo {

// A std::ostream over an AtomicFile, for writers that stream their bytes: a
// write the system refuses sets the stream's badbit, and the AtomicFile's
// error() keeps the system's reason (a full disk, a lost device).
class AtomicFileStream : public std::ostream {
 public:
  explicit AtomicFileStream(AtomicFile& file);
  ~AtomicFileStream() override;

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(AtomicFile& file);
    int_type overflow(int_type c) override;
    int sync() override;

   private:
    bool drain();

    AtomicFile& file_;
    std::array<char, 65536> bytes_{};
  };

  Buffer buffer_;
};

}  // namespace tarvo
