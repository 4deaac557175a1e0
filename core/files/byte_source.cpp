#include "files/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tarvo {

namespace {

// What a file that is not a regular one is, in the words of a message.
std::string kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder, not a file";
  if (S_ISFIFO(mode)) return "it is a pipe (FIFO), not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
  if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
  return "it is not a regular file";
}

OpenFailure failure_of(int error_number) {
  if (error_number == ENOENT || error_number == ENOTDIR) return OpenFailure::Missing;
  if (error_number == EACCES || error_number == EPERM) return OpenFailure::NoPermission;
  return OpenFailure::Other;
}

std::string reason_of(int error_number) {
  switch (failure_of(error_number)) {
    case OpenFailure::Missing:
      return "it does not exist";
    case OpenFailure::NoPermission:
      return "no permission to read it";
    default:
      return std::strerror(error_number);
  }
}

}  // namespace

std::optional<std::size_t> MemorySource::read(char* to, std::size_t size) {
  const std::size_t n = std::min(size, bytes_.size() - pos_);
  std::copy_n(bytes_.data() + pos_, n, to);
  pos_ += n;
  return n;
}

bool MemorySource::rewind() {
  pos_ = 0;
  return true;
}

FileSource::FileSource(const std::filesystem::path& file, std::uint64_t largest_bytes) {
  if (!open_checked(file, largest_bytes) && fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

FileSource::~FileSource() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileSource::refuse(OpenFailure failure, std::string why) {
  failure_ = failure;
  error_ = std::move(why);
  return false;
}

// The kind is checked before opening (opening a device or a FIFO can block or
// have effects of its own) and again on the opened file, which may have been
// replaced in between.
bool FileSource::open_checked(const std::filesystem::path& file, std::uint64_t largest_bytes) {
  if (file.empty()) return refuse(OpenFailure::Missing, "no file name was given");
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) return refuse(failure_of(errno), reason_of(errno));
  if (!S_ISREG(info.st_mode)) return refuse(OpenFailure::NotRegularFile, kind_of(info.st_mode));
  fd_ = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) return refuse(failure_of(errno), reason_of(errno));
  if (::fstat(fd_, &info) != 0) return refuse(OpenFailure::Other, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return refuse(OpenFailure::NotRegularFile, kind_of(info.st_mode));
  size_ = static_cast<std::uint64_t>(info.st_size);
  if (size_ > largest_bytes) {
    return refuse(OpenFailure::TooLarge, "it is larger (" + std::to_string(size_) +
                                             " bytes) than the largest log Tarvo can hold (" +
                                             std::to_string(largest_bytes) + " bytes)");
  }
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) (void)::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  return true;
}

std::optional<std::size_t> FileSource::read(char* to, std::size_t size) {
  if (fd_ < 0) return std::nullopt;
  for (;;) {
    const ssize_t got = ::read(fd_, to, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno == EINTR) continue;
    error_ = std::strerror(errno);
    return std::nullopt;
  }
}

bool FileSource::rewind() {
  if (fd_ >= 0 && ::lseek(fd_, 0, SEEK_SET) == 0) return true;
  error_ = std::strerror(errno);
  return false;
}

}  // namespace tarvo
