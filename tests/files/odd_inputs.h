#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/text_log.h"

// Inputs a user can hand to File > Open or tarvo-cli that are no text log at
// all: each is made for the test, beside its other files, or is a device.
namespace tarvo::odd_input {

enum class Kind { Missing, Folder, Fifo, DevZero, DevUrandom, SparseHuge, BeyondLargest };

struct Case {
  const char* name;
  Kind kind;
  LoadFailure failure;
};

// The 64 GB a user made with truncate -s 64G, and a file one byte past the
// largest log; both are sparse, so they take no room on the disk.
inline std::filesystem::path make(Kind kind, const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / "odd.txt";
  switch (kind) {
    case Kind::Missing:
      return folder / "missing.txt";
    case Kind::Folder:
      return folder;
    case Kind::Fifo:
      ::mkfifo(file.c_str(), 0600);
      return file;
    case Kind::DevZero:
      return "/dev/zero";
    case Kind::DevUrandom:
      return "/dev/urandom";
    case Kind::SparseHuge:
      std::ofstream(file).close();
      std::filesystem::resize_file(file, std::uint64_t{64} << 30);
      return file;
    case Kind::BeyondLargest:
      std::ofstream(file).close();
      std::filesystem::resize_file(file, kLargestTextLogBytes + 1);
      return file;
  }
  return file;
}

inline const Case kCases[] = {
    {"Missing", Kind::Missing, LoadFailure::Missing},
    {"Folder", Kind::Folder, LoadFailure::NotRegularFile},
    {"Fifo", Kind::Fifo, LoadFailure::NotRegularFile},
    {"DevZero", Kind::DevZero, LoadFailure::NotRegularFile},
    {"DevUrandom", Kind::DevUrandom, LoadFailure::NotRegularFile},
    {"SparseHuge", Kind::SparseHuge, LoadFailure::WrongFormat},
    {"BeyondLargest", Kind::BeyondLargest, LoadFailure::TooLarge},
};

}  // namespace tarvo::odd_input
